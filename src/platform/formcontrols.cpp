#include "platform/formcontrols.h"

#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

QLineEdit* makeEdit(const QString& objectName, const QString& text, QWidget* parent) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(objectName);
    return edit;
}

void MaskWithStars(QLineEdit* edit) {
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

QCheckBox* makeCheck(const QString& objectName, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(objectName);
    return box;
}

namespace {

// A radio button whose caption wraps onto further lines where its column is too narrow for it,
// so the caption is never cut; a click on any line of it checks the button.
class WrappingRadioButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

    QSize minimumSizeHint() const override {
        return {textLeft() + fontMetrics().averageCharWidth() * 8, QRadioButton::minimumSizeHint().height()};
    }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        const QRect room(0, 0, std::max(1, width - textLeft()), 100000);
        const int textHeight = fontMetrics().boundingRect(room, Qt::TextWordWrap, text()).height();
        return std::max(QRadioButton::sizeHint().height(), textHeight + 2);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        const QString caption = option.text;
        option.text.clear();
        const int indicatorHeight = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, &option, this);
        option.rect.setHeight(std::max(indicatorHeight, fontMetrics().height()));
        painter.drawControl(QStyle::CE_RadioButton, option);
        const QRect textRect = rect().adjusted(textLeft(), 0, 0, 0);
        painter.drawItemText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, palette(), isEnabled(), caption,
                             QPalette::WindowText);
    }
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    int textLeft() const {
        return style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, this) +
               style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, this);
    }
};

} // namespace

QRadioButton* makeRadio(const QString& objectName, const QString& caption, QWidget* parent) {
    auto* radio = new WrappingRadioButton(caption, parent);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    radio->setSizePolicy(policy);
    // Never squeezed below one line, wherever it stands.
    radio->setMinimumHeight(radio->sizeHint().height());
    radio->setObjectName(objectName);
    return radio;
}

QListWidget* makeList(const QString& objectName, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(objectName);
    return list;
}

QPlainTextEdit* makeMemo(const QString& objectName, QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(objectName);
    memo->setReadOnly(true);
    return memo;
}
