#pragma once

#include "platform/desktop.h"

#include <QStringList>

// Records what would be opened.
class RecordingDesktop : public Desktop {
public:
    bool open(const QString& target) override {
        m_opened << target;
        return m_result;
    }
    const QStringList& opened() const { return m_opened; }
    void setResult(bool result) { m_result = result; }
    void clear() { m_opened.clear(); }

private:
    QStringList m_opened;
    bool m_result = true;
};
