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

// Records what would be opened; for tests.
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
