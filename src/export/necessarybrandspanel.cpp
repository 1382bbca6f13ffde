#include "export/necessarybrandspanel.h"

#include "platform/apppaths.h"
#include "platform/checklist.h"
#include "platform/dialogs.h"
#include "platform/formcontrols.h"
#include "platform/textfile.h"
#include "platform/widgets.h"
#include "service/appcontext.h"
#include "service/decoder.h"
#include "service/listfiles.h"
#include "service/serviceclient.h"
#include "service/textfunctions.h"

#include <QFile>

#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>

NecessaryBrandsPanel::NecessaryBrandsPanel(AppContext& context, QWidget* parent) : QObject(parent), m_context(context) {
    buildUi(parent);
}

void NecessaryBrandsPanel::buildUi(QWidget* parent) {
    m_widget = new QWidget(parent);
    m_widget->setObjectName(QStringLiteral("Panel3"));
    auto* layout = new QVBoxLayout(m_widget);
    // Indented like the neighbouring panels, whose grids keep the style's margins.
    const int margin = m_widget->style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    layout->setContentsMargins(margin, 0, margin, 0);
    layout->setSpacing(0);
    // Heading and buttons fill exactly the collapsed height, so collapsed the check-list is out of sight.
    auto* head = new QWidget;
    head->setFixedHeight(kCollapsedHeight);
    auto* headLayout = new QVBoxLayout(head);
    headLayout->setContentsMargins(0, margin, 0, 0);
    headLayout->setSpacing(2);
    headLayout->addWidget(
        makeTitle(QStringLiteral("List brands [suplliers] of products only which need show in catalogs")));
    auto* buttons = new QHBoxLayout;
    m_SpeedButton27 = makeButton(QStringLiteral("SpeedButton27"), QStringLiteral("Show list that was saved"));
    m_SpeedButton29 = makeButton(QStringLiteral("SpeedButton29"), QStringLiteral("Clear list"));
    m_SpeedButton28 = makeButton(QStringLiteral("SpeedButton28"), QStringLiteral("Load new list"));
    m_SpeedButton26 = makeButton(QStringLiteral("SpeedButton26"), QStringLiteral("Resave changes"));
    for (QToolButton* b : {m_SpeedButton27, m_SpeedButton29, m_SpeedButton28, m_SpeedButton26})
        buttons->addWidget(b);
    connect(m_SpeedButton27, &QToolButton::clicked, this, &NecessaryBrandsPanel::SpeedButton27Click);
    connect(m_SpeedButton29, &QToolButton::clicked, this, &NecessaryBrandsPanel::SpeedButton29Click);
    connect(m_SpeedButton28, &QToolButton::clicked, this, &NecessaryBrandsPanel::SpeedButton28Click);
    connect(m_SpeedButton26, &QToolButton::clicked, this, &NecessaryBrandsPanel::SpeedButton26Click);
    headLayout->addLayout(buttons);
    headLayout->addStretch(1);
    layout->addWidget(head);
    m_CheckListBox3 = makeList(QStringLiteral("CheckListBox3"));
    // No minimum height of its own: the collapsed panel has no room for it.
    m_CheckListBox3->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    layout->addWidget(m_CheckListBox3, 1);
}

void NecessaryBrandsPanel::collapse() {
    m_widget->setFixedHeight(kCollapsedHeight);
}

bool NecessaryBrandsPanel::isCollapsed() const {
    return m_widget->maximumHeight() == kCollapsedHeight;
}

QString NecessaryBrandsPanel::listFile() const {
    return m_context.paths->programFile(QString::fromLatin1(ListFiles::kNecessaryBrands));
}

namespace {
const QString kHowToChoose = QStringLiteral("For possible set FOR SHOW IN CATALOG DATA OF PRODUCTS only for necessary "
                                            "brands need [LOAD NEW LIST] => [SELECT NECESSARY BRANDS] => [RESAVE "
                                            "CHANGES]");
} // namespace

void NecessaryBrandsPanel::SpeedButton28Click() {
    m_CheckListBox3->clear();
    ServiceClient& service = *m_context.service;
    const QString answer = service.CatalogRequest(service.ListRequest(QStringLiteral("GetSuppliers")));
    if (IsBlank(answer)) {
        // A "test client" answer has asked already; the same question twice in a row helps nobody.
        if (!service.lastRequestOfferedDemoServer())
            service.OfferDemoServer();
        return;
    }
    for (const TSupplierRec& supplier : DecodeAnswer<TSupplierRec>(QStringLiteral("GetSuppliers"), answer))
        CheckList::insertSorted(m_CheckListBox3, supplier.brand);
    if (m_CheckListBox3->count() == 0)
        return;
    m_widget->setFixedHeight(kExpandedHeight);
    const std::optional<QStringList> saved = TextFile::readLines(listFile());
    if (!saved)
        return;
    for (int row = 0; row < m_CheckListBox3->count(); ++row) {
        const QString brand = m_CheckListBox3->item(row)->text();
        for (const QString& line : *saved)
            if (brand.compare(line, Qt::CaseInsensitive) == 0)
                CheckList::setChecked(m_CheckListBox3, row, true);
    }
}

void NecessaryBrandsPanel::SpeedButton26Click() {
    if (isCollapsed())
        return;
    if (m_context.dialogs->confirm(QStringLiteral("Resave changes ?"), Confirmation::Routine)) {
        const QStringList brands = CheckList::checkedTexts(m_CheckListBox3);
        QString text;
        for (const QString& brand : brands)
            text += QLatin1Char('[') + brand + QLatin1Char(']');
        QString error;
        if (!TextFile::writeUtf8Lines(listFile(), brands, &error)) {
            // The old list stays on disk, so the one in use stays too.
            collapse();
            m_context.dialogs->error(error);
            return;
        }
        m_context.texts->NecessaryBrands = text;
    }
    collapse();
}

void NecessaryBrandsPanel::SpeedButton27Click() {
    const QString& brands = m_context.texts->NecessaryBrands;
    if (!brands.isEmpty())
        m_context.dialogs->information(QStringLiteral("At moment you using for show only brands : ") + brands);
    else
        m_context.dialogs->information(QStringLiteral("At moment will show all brands. ") + kHowToChoose);
}

void NecessaryBrandsPanel::SpeedButton29Click() {
    if (m_context.texts->NecessaryBrands.isEmpty()) {
        m_context.dialogs->information(QStringLiteral("Your list was already empty !!! ") + kHowToChoose);
        return;
    }
    if (!m_context.dialogs->confirm(QStringLiteral("Clean list brands ?")))
        return;
    m_context.texts->NecessaryBrands.clear();
    QFile file(listFile());
    if (file.exists() && !file.remove())
        m_context.dialogs->error(file.errorString());
    collapse();
    // Back at the next start only.
    m_SpeedButton29->hide();
}
