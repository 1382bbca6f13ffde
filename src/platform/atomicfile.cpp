#include "platform/atomicfile.h"

#include "platform/replacingfile.h"

namespace AtomicFile {

bool replace(const QString& path, const QByteArray& bytes, Access access, QString* error) {
    ReplacingFile file(path, access);
    if (file.write(bytes.constData(), bytes.size()) && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace AtomicFile
