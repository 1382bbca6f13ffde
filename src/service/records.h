#pragma once

#include <QByteArrayView>
#include <QString>

#include <limits>

// A text of an answer as the service sent it: its UTF-8 bytes, viewed where they stand in the
// answer, which whoever holds the record keeps (Decoded, the product table). Lists of products run
// to a hundred thousand records, and a string made for every value of them cost more than all the
// rest of a listing; a text is made only where a value is shown, compared or written.
//
// Twelve bytes, not sixteen: a listing holds seven per product, and no value the decoder views
// reaches 2 GiB (it reads no answer that long).
#pragma pack(push, 4)
class AnswerText {
public:
    constexpr AnswerText() = default;
    constexpr AnswerText(const char* data, qsizetype size) : m_data(data), m_size(qint32(size)) {
        Q_ASSERT(size <= kMostBytes);
    }
    static constexpr qsizetype kMostBytes = std::numeric_limits<qint32>::max();
    // Views the bytes of a literal, for tests and fixed texts.
    template <qsizetype N> constexpr AnswerText(const char (&literal)[N]) : m_data(literal), m_size(N - 1) {}

    QByteArrayView bytes() const { return {m_data, m_size}; }
    bool isEmpty() const { return m_size == 0; }
    // Nothing but characters up to U+0020: blank after trimming.
    bool isBlank() const;
    // The text as the whole answer read as UTF-8 shows it: bad bytes as U+FFFD, a byte-order mark
    // as U+FEFF, also at the start of the value.
    QString toString() const;
    // Appends toString() without making it apart when the bytes are plain ASCII.
    void appendTo(QString& text) const;

    // Equal bytes; where they stand does not count.
    friend bool operator==(const AnswerText& a, const AnswerText& b) { return a.bytes() == b.bytes(); }
    // Equal to the text as shown.
    friend bool operator==(const AnswerText& a, const QString& b) { return a.toString() == b; }

private:
    const char* m_data = nullptr;
    qint32 m_size = 0;
};
#pragma pack(pop)
static_assert(sizeof(AnswerText) == sizeof(const char*) + sizeof(qint32));

// One record layout per catalog function. Integers start at 0, texts empty. Records compare
// field by field. The product records keep their texts as AnswerText.

struct TTypidRec {
    int typid = 0;

    bool operator==(const TTypidRec&) const = default;
};

struct TYearRec {
    int year = 0;

    bool operator==(const TYearRec&) const = default;
};

struct TManufacturerRec {
    int mfaid = 0;
    QString brand;

    bool operator==(const TManufacturerRec&) const = default;
};

struct TModelRec {
    int modid = 0;
    QString modelcar, pconstart, pconend;

    bool operator==(const TModelRec&) const = default;
};

struct TTypeRec {
    int typid = 0;
    QString fullnametypecar, pconstart, pconend, bodytype, kw, hp, ccm, typefuel, listcodeengine;

    bool operator==(const TTypeRec&) const = default;
};

struct TCarInfoRec {
    int typid = 0, modid = 0, mfaid = 0;
    QString fullnametypecar, modelcar, brand, pconstart, pconend, bodytype, kw, hp, ccm, typefuel, listcodeengine;

    bool operator==(const TCarInfoRec&) const = default;
};

struct TCategoryRec {
    int level = 0, id1 = 0, id2 = 0, id3 = 0, id4 = 0, id5 = 0;
    QString text1, text2, text3, text4, text5;

    bool operator==(const TCategoryRec&) const = default;
};

struct TTradeGroupRec {
    int gaid = 0;
    QString ganame, gaassembly;

    bool operator==(const TTradeGroupRec&) const = default;
};

struct TArticleRec {
    int artid = 0, laid = 0, braid = 0;
    AnswerText brand, reference, name, additionalforname, status, criteries, termsofuse;

    bool operator==(const TArticleRec&) const = default;
};

struct TNameSearchRec {
    int artid = 0, braid = 0;
    AnswerText brand, reference, name, additionalforname, status, criteries, termsofuse;

    bool operator==(const TNameSearchRec&) const = default;
};

struct TCrossSearchRec {
    int artid = 0, braid = 0;
    AnswerText brand, reference, name, additionalforname, status, criteries;

    bool operator==(const TCrossSearchRec&) const = default;
};

struct TCrossHitRec {
    int braid = 0;
    QString reference, brand, name;

    bool operator==(const TCrossHitRec&) const = default;
};

struct TCrossRefRec {
    QString brand, displaynr;

    bool operator==(const TCrossRefRec&) const = default;
};

struct TImageRec {
    QString path;

    bool operator==(const TImageRec&) const = default;
};

struct TSupplierRec {
    QString brand;

    bool operator==(const TSupplierRec&) const = default;
};

// Records whose texts view the answer: their answer must outlive them.
template <class Rec> inline constexpr bool kViewsAnswer = false;
template <> inline constexpr bool kViewsAnswer<TArticleRec> = true;
template <> inline constexpr bool kViewsAnswer<TNameSearchRec> = true;
template <> inline constexpr bool kViewsAnswer<TCrossSearchRec> = true;
