#include "export/exportpage.h"

#include "export/catalogexport.h"
#include "platform/checklist.h"
#include "platform/dialogs.h"
#include "platform/exportfolder.h"
#include "platform/formcontrols.h"
#include "platform/localeformats.h"
#include "platform/textfile.h"
#include "platform/widgets.h"
#include "service/appcontext.h"
#include "service/decoder.h"
#include "service/serviceclient.h"
#include "service/textfunctions.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScopeGuard>
#include <QVBoxLayout>

const QString ExportPage::kNotSelected = QStringLiteral("SELECTED BRAND(S) : not selected");
const QString ExportPage::kAllBrands = QStringLiteral("SELECTED BRAND(S) : not selected [export will for all brands]");

ExportPage::ExportPage(AppContext& context, QWidget* parent) : QObject(parent), m_context(context) {
    buildUi(parent);
}

void ExportPage::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    m_widget->setObjectName(QStringLiteral("EXPORT"));
    auto* outer = new QVBoxLayout(m_widget);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(makeTitle(QStringLiteral("PREPARING DATA | EXPORT DATA")));
    auto* row = new QHBoxLayout;
    outer->addLayout(row, 1);

    auto* buttons = new QVBoxLayout;
    QToolButton* ownPrices = makeButton(QStringLiteral("SpeedButton56"), QStringLiteral("PREPARING OWN PRICE LISTS"));
    // The page "export" is the only one of the notebook so far.
    connect(ownPrices, &QToolButton::clicked, this, [this] { openSection(m_dataSection, m_suppliersSection); });
    buttons->addWidget(ownPrices);
    buttons->addWidget(new QLabel(QStringLiteral("  Working with e-commerce")));
    struct Shop {
        const char* name;
        const char* caption;
    };
    for (const Shop& shop : {Shop{"SpeedButton55", "   PRESTASHOP"}, Shop{"SpeedButton54", "    MAGENTO"},
                             Shop{"SpeedButton53", "   OPENCART"}}) {
        QToolButton* b = makeButton(QString::fromLatin1(shop.name), QString::fromLatin1(shop.caption));
        connect(b, &QToolButton::clicked, this,
                [this] { m_context.dialogs->information(QStringLiteral("Pls wait this possible in next updates")); });
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    row->addLayout(buttons);

    auto* page = new QVBoxLayout;
    page->setSpacing(0);
    row->addLayout(page, 1);
    page->addWidget(makeTitle(QStringLiteral("PREPARING TABLES")));
    m_suppliersSection = new CollapsibleSection(QStringLiteral("StaticText10"), QStringLiteral("LIST SUPPLIERS"));
    m_CheckListBox4 = makeList(QStringLiteral("CheckListBox4"));
    m_suppliersSection->setBody(m_CheckListBox4);
    m_dataSection = new CollapsibleSection(QStringLiteral("StaticText9"), QStringLiteral("PREPARING DATA"));
    m_dataSection->setBody(buildDataPanel());
    page->addWidget(m_suppliersSection);
    page->addWidget(m_dataSection, 1);
    connect(m_suppliersSection->header(), &ClickableLabel::clicked, this, &ExportPage::StaticText10Click);
    connect(m_dataSection->header(), &ClickableLabel::clicked, this, &ExportPage::StaticText9Click);
    m_suppliersSection->setCollapsed(true);
}

QWidget* ExportPage::buildDataPanel() {
    auto* panel = new QWidget;
    auto* page = new QVBoxLayout(panel);
    m_Label58 = new QLabel(kNotSelected);
    m_Label58->setObjectName(QStringLiteral("Label58"));
    m_Label58->setWordWrap(true);
    page->addWidget(m_Label58);
    page->addWidget(new QLabel(QStringLiteral("Folder for save files :")));
    m_Edit13 = makeEdit(QStringLiteral("Edit13"));
    page->addWidget(m_Edit13);
    m_CheckBox8 = makeCheck(QStringLiteral("CheckBox8"), QStringLiteral("Add column with data criteries of products"));
    m_CheckBox9 = makeCheck(QStringLiteral("CheckBox9"), QStringLiteral("Add column with cross reference numbers"));
    m_CheckBox10 = makeCheck(QStringLiteral("CheckBox10"),
                             QStringLiteral("Add column with list typids of cars that using product"));
    m_CheckBox10->setToolTip(QStringLiteral("as like list k-type values, sample : 10,101,1025,1212..."));
    // As wide as their captions, so that a click beside a caption does not switch them.
    for (QCheckBox* box : {m_CheckBox8, m_CheckBox9, m_CheckBox10})
        page->addWidget(box, 0, Qt::AlignLeft);
    auto* formats = new QHBoxLayout;
    m_RadioButton5 = makeRadio(QStringLiteral("RadioButton5"), QStringLiteral("as CSV"));
    m_RadioButton9 = makeRadio(QStringLiteral("RadioButton9"), QStringLiteral("as XML"));
    m_RadioButton10 = makeRadio(QStringLiteral("RadioButton10"), QStringLiteral("as JSON"));
    auto* group = new QButtonGroup(panel);
    for (QRadioButton* r : {m_RadioButton5, m_RadioButton9, m_RadioButton10}) {
        group->addButton(r);
        formats->addWidget(r);
    }
    formats->addStretch(1);
    m_RadioButton9->setChecked(true);
    page->addLayout(formats);
    m_SpeedButton60 = makeButton(QStringLiteral("SpeedButton60"), QStringLiteral("   Export in csv files"));
    connect(m_SpeedButton60, &QToolButton::clicked, this, &ExportPage::SpeedButton60Click);
    page->addWidget(m_SpeedButton60);
    for (const char* note : {"In file will mandatory values : brand id | brand | reference | name product | status "
                             "product | price",
                             "Attention. The process of preparing and exporting data may take some time if additional "
                             "options are selected"}) {
        auto* label = new QLabel(QString::fromLatin1(note));
        label->setWordWrap(true);
        page->addWidget(label);
    }
    m_Label61 = new QLabel;
    m_Label61->setObjectName(QStringLiteral("Label61"));
    m_Label60 = new QLabel;
    m_Label60->setObjectName(QStringLiteral("Label60"));
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("exportProgress"));
    page->addWidget(m_Label61);
    page->addWidget(m_Label60);
    page->addWidget(m_progress);
    page->addStretch(1);
    showProgress(false);
    return panel;
}

void ExportPage::openSection(CollapsibleSection* open, CollapsibleSection* closed) {
    closed->setCollapsed(true);
    open->setCollapsed(false);
    auto* layout = static_cast<QBoxLayout*>(open->parentWidget()->layout());
    layout->setStretchFactor(closed, 0);
    layout->setStretchFactor(open, 1);
}

void ExportPage::showProgress(bool visible) {
    for (QWidget* w : std::initializer_list<QWidget*>{m_Label61, m_Label60, m_progress})
        w->setVisible(visible);
}

void ExportPage::StaticText10Click() {
    openSection(m_suppliersSection, m_dataSection);
    if (m_CheckListBox4->count() > 0)
        return;
    ServiceClient& service = *m_context.service;
    const QString answer = service.CatalogRequest(service.ListRequest(QStringLiteral("GetSuppliers")));
    if (IsBlank(answer))
        return;
    for (const TSupplierRec& supplier : DecodeAnswer<TSupplierRec>(QStringLiteral("GetSuppliers"), answer))
        CheckList::append(m_CheckListBox4, supplier.brand);
}

void ExportPage::StaticText9Click() {
    openSection(m_dataSection, m_suppliersSection);
    const QStringList ticked = CheckList::checkedTexts(m_CheckListBox4);
    m_Label58->setText(ticked.isEmpty() ? kAllBrands
                                        : QStringLiteral("SELECTED BRAND(S) : ") + ticked.join(QStringLiteral(", ")));
}

void ExportPage::SpeedButton60Click() {
    const QString folderText = Trim(m_Edit13->text());
    if (folderText.isEmpty() || !QDir(folderText).exists()) {
        m_context.dialogs->information(QStringLiteral("Path to folder for save file(s) is empty or wrong !!!"));
        return;
    }
    if (m_CheckListBox4->count() == 0) {
        m_context.dialogs->information(
            QStringLiteral("Need select necessary brand(s) on panel \"LIST SUPPLIERS\" !!!"));
        return;
    }
    const bool allBrands = m_Label58->text() == kAllBrands;
    QStringList brands;
    for (int row = 0; row < m_CheckListBox4->count(); ++row)
        if (allBrands || CheckList::isChecked(m_CheckListBox4, row))
            brands << m_CheckListBox4->item(row)->text();
    const qsizetype n = brands.size();

    using CatalogExport::Format;
    const Format format = m_RadioButton5->isChecked()    ? Format::Csv
                          : m_RadioButton10->isChecked() ? Format::Json
                                                         : Format::Xml;
    const QString options =
        CatalogExport::OptionsText({m_CheckBox8->isChecked(), m_CheckBox9->isChecked(), m_CheckBox10->isChecked()});
    const AccountSource& account = m_context.service->account();
    const CatalogExport::Account values{account.email(), account.seccode(), account.lang()};
    const QString separator = LocaleFormats::listSeparator();

    m_Label61->setText(QStringLiteral("Export for brands : [0/%1]").arg(n));
    m_Label60->setText(QStringLiteral("Status : preparating"));
    m_progress->setRange(0, int(n));
    m_progress->setValue(0);
    showProgress(true);
    // The window repaints between the steps; a second click must not start another run meanwhile.
    m_SpeedButton60->setEnabled(false);
    const auto restore = qScopeGuard([this] {
        showProgress(false);
        m_SpeedButton60->setEnabled(true);
    });

    int exported = 0;
    for (qsizetype k = 1; k <= n; ++k) {
        const QString& brand = brands.at(k - 1);
        m_Label61->setText(QStringLiteral("Export for brands : [%1/%2] :: %3").arg(k).arg(n).arg(brand));
        m_Label60->setText(QStringLiteral("Status : sent request and waiting data ..."));
        QCoreApplication::processEvents();
        const QString answer =
            m_context.service->CatalogRequest(CatalogExport::Request(format, separator, values, brand, options));
        const QStringList lines = CatalogExport::TrimAnswer(format, TextFile::splitLines(answer));
        m_Label60->setText(QStringLiteral("Status : saving file ..."));
        QCoreApplication::processEvents();
        QString error;
        if (!CatalogExport::SaveFile(folderText, brand, format, lines, &error)) {
            m_context.dialogs->error(error);
            return;
        }
        ++exported;
        m_progress->setValue(int(k));
    }
    if (exported > 0)
        TellSavedIn(*m_context.dialogs, *m_context.desktop,
                    QStringLiteral("File(s) was exported !\r\nFolder : ") + QDir::toNativeSeparators(folderText),
                    folderText);
}
