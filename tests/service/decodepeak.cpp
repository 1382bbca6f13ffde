// Decodes one generated answer and prints how far the decode raised the process's peak memory:
// "<answer bytes> <peak growth bytes> <records or refused>". Run by tst_decoder as a child, so
// the peak belongs to this decode alone.
#include "service/decoder.h"
#include "service/errors.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>

namespace {

long peakBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss * 1024L;
}

// `unit` repeated until the answer holds `length` characters, built without a reallocation so
// the peak before decoding is the answer itself.
QString repeated(const QString& unit, qsizetype length) {
    QString answer(length - length % unit.size(), Qt::Uninitialized);
    for (qsizetype at = 0; at < answer.size(); at += unit.size())
        std::memcpy(answer.data() + at, unit.constData(), std::size_t(unit.size()) * sizeof(QChar));
    return answer;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const qsizetype length = std::atol(argv[2]);
    const QString unit = std::strcmp(argv[1], "starts") == 0
                             ? QStringLiteral("\t\t\t{\n")
                             : QStringLiteral("\t\t\t,{\n\t\t\t\t\"typid\": \"10010\",\n\t\t\t\t\"modid\": \"4001\",\n"
                                              "\t\t\t\t\"mfaid\": \"5\",\n\t\t\t\t\"typecar\": \"A4 (8E2, B6) 1.6\",\n"
                                              "\t\t\t\t\"brand\": \"AUDI\",\n\t\t\t\t\"pconstart\": \"200011\",\n"
                                              "\t\t\t\t\"kw\": \"75\",\n\t\t\t\t\"typefuel\": \"Petrol\"\n\t\t\t}\n");
    const QString answer = repeated(unit, length);
    const long before = peakBytes();
    const Decoded<TCarInfoRec> records = DecodeAnswer<TCarInfoRec>(QStringLiteral("getInfoCar"), answer);
    const QString outcome = records.ok() ? QString::number(records.size()) : QStringLiteral("refused");
    std::printf("%lld %ld %s\n", static_cast<long long>(answer.size() * 2), peakBytes() - before, qPrintable(outcome));
    return 0;
}
