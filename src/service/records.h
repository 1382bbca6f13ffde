#pragma once

#include <QString>

// One record layout per catalog function. Integers start at 0, texts empty.

struct TTypidRec {
    int typid = 0;
};

struct TYearRec {
    int year = 0;
};

struct TManufacturerRec {
    int mfaid = 0;
    QString brand;
};

struct TModelRec {
    int modid = 0;
    QString modelcar, pconstart, pconend;
};

struct TTypeRec {
    int typid = 0;
    QString fullnametypecar, pconstart, pconend, bodytype, kw, hp, ccm, typefuel, listcodeengine;
};

struct TCarInfoRec {
    int typid = 0, modid = 0, mfaid = 0;
    QString fullnametypecar, modelcar, brand, pconstart, pconend, bodytype, kw, hp, ccm, typefuel, listcodeengine;
};

struct TCategoryRec {
    int level = 0, id1 = 0, id2 = 0, id3 = 0, id4 = 0, id5 = 0;
    QString text1, text2, text3, text4, text5;
};

struct TTradeGroupRec {
    int gaid = 0;
    QString ganame, gaassembly;
};

struct TArticleRec {
    int artid = 0, laid = 0, braid = 0;
    QString brand, reference, name, additionalforname, status, criteries, termsofuse;
};

struct TNameSearchRec {
    int artid = 0, braid = 0;
    QString brand, reference, name, additionalforname, status, criteries, termsofuse;
};

struct TCrossSearchRec {
    int artid = 0, braid = 0;
    QString brand, reference, name, additionalforname, status, criteries;
};

struct TCrossHitRec {
    int braid = 0;
    QString reference, brand, name;
};

struct TCrossRefRec {
    QString brand, displaynr;
};

struct TImageRec {
    QString path;
};

struct TSupplierRec {
    QString brand;
};
