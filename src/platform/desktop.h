#pragma once

#include <QString>
#include <QStringList>

// The desktop's "open" action: web addresses go to the browser, files to their application.
class Desktop {
public:
    virtual ~Desktop() = default;
    // Returns false when nothing could open the target.
    virtual bool open(const QString& target) = 0;
};
