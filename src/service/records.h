#pragma once

#include <QString>

// One record layout per catalog function. Integers start at 0, texts empty. Records compare
// field by field.

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
    QString brand, reference, name, additionalforname, status, criteries, termsofuse;

    bool operator==(const TArticleRec&) const = default;
};

struct TNameSearchRec {
    int artid = 0, braid = 0;
    QString brand, reference, name, additionalforname, status, criteries, termsofuse;

    bool operator==(const TNameSearchRec&) const = default;
};

struct TCrossSearchRec {
    int artid = 0, braid = 0;
    QString brand, reference, name, additionalforname, status, criteries;

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
