#include "SettingsPanel.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <algorithm>
#include <vector>

#include "OverstruckButton.h"
#include "controls/qt/Spin.h"
#include "controls/qt/ckLabelX.h"
#include "controls/qt/ckSpinEditX.h"
#include "controls/qt/csAdpEdit.h"
#include "settings/Config.h"
#include "shell/DialogAnswers.h"
#include "shell/MainWindow.h"

namespace ovin {

namespace {

constexpr int kLabelGapPx = 2;

QColor qColour(const Rgb& c) { return QColor(c.red, c.green, c.blue); }

// The positions were laid out for a narrower font than some desktops have:
// a control whose caption needs more room grows to the right instead of
// cutting the caption off. The room is measured from the caption itself (a
// button's size hint would ask for a minimum width the layout never had).
int captionRoom(const QAbstractButton* w)
{
    const QStyle* style = w->style();
    const int text = QFontMetrics(w->font()).horizontalAdvance(w->text());
    if (qobject_cast<const QCheckBox*>(w))
        return style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w) + text + 2;
    return text + 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w) +
           2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
}

void fitBefore(QWidget* label, int right)
{
    const int room = right - label->x();
    const int needed = label->sizeHint().width();
    if (needed <= room || needed <= 0)
        return;
    // Tighter letters: a stretch is ignored by fonts without condensed faces.
    auto* l = static_cast<QLabel*>(label);
    const qsizetype letters = std::max<qsizetype>(1, l->text().size() - 1);
    QFont narrow = l->font();
    narrow.setLetterSpacing(QFont::AbsoluteSpacing, -qreal(needed - room) / qreal(letters));
    l->setFont(narrow);
}

}  // namespace

SettingsPanel::SettingsPanel(TConf& conf, DialogAnswers* answers, QWidget* parent)
    : QFrame(parent), m_logic(conf, *this), m_answers(answers)
{
    setObjectName(QStringLiteral("Panel1"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    createControls();

    connect(bSaveConf, &QPushButton::clicked, this, &SettingsPanel::bSaveConfClick);
    connect(cxJinyAdrReq, &QCheckBox::toggled, this, &SettingsPanel::cxJinyAdrReqClick);
    connect(bJinyAdrReq, &QPushButton::clicked, this, &SettingsPanel::bJinyAdrReqClick);
}

QWidget* SettingsPanel::createControl(const PanelControlRow& row)
{
    const QString caption = QString::fromUtf8(row.caption);
    const Rect& b = row.bounds;
    QWidget* w = nullptr;
    switch (row.kind) {
    case PanelControlKind::CheckBox:
        w = new QCheckBox(caption, this);
        break;
    case PanelControlKind::Label:
        w = new TLabelX(caption, this);
        break;
    case PanelControlKind::SpinEdit: {
        TSpinEdit* spin = row.id == PanelControl::seWait ? new TSpinEditX(this) : new TSpinEdit(this);
        spin->setMinValue(row.minValue);
        spin->setMaxValue(row.maxValue);
        w = spin;
        break;
    }
    case PanelControlKind::Button: {
        auto* button = row.emphasised ? new OverstruckButton(caption, this) : new QPushButton(caption, this);
        if (row.emphasised) {
            QFont bold(QString::fromUtf8(kMainWindowLook.fontName), kMainWindowLook.fontPt);
            bold.setBold(true);
            button->setFont(bold);
            QPalette red = button->palette();
            red.setColor(QPalette::ButtonText, qColour(kEmphasisedColour));
            button->setPalette(red);
        }
        w = button;
        break;
    }
    case PanelControlKind::PathEdit: {
        auto* edit = new TadpEdit(this);
        edit->setColorOnEnter(qColour(kPathColourOnEnter));
        edit->setAlignment(taLeftJustify);
        edit->setTabOnEnter(false);
        w = edit;
        break;
    }
    }
    w->setObjectName(QString::fromLatin1(row.name));
    w->setToolTip(QString::fromUtf8(row.hint));
    if (row.kind == PanelControlKind::Label)
        w->move(b.left, b.top);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        w->setGeometry(b.left, b.top, std::max(b.width, captionRoom(button)), b.height);
    else
        w->setGeometry(b.left, b.top, b.width, b.height);
    return w;
}

void SettingsPanel::createControls()
{
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    pActive = new QFrame(Panel2);
    pActive->setObjectName(QStringLiteral("pActive"));
    pActive->setAutoFillBackground(true);

    for (const PanelControlRow& row : PanelControls())
        m_controls[static_cast<std::size_t>(row.id)] = createControl(row);
    using C = PanelControl;
    cxHlidatTrovan = static_cast<QCheckBox*>(control(C::cxHlidatTrovan));
    cxMazatRq = static_cast<QCheckBox*>(control(C::cxMazatRq));
    cxZobrazitIkonu = static_cast<QCheckBox*>(control(C::cxZobrazitIkonu));
    Label1 = static_cast<TLabelX*>(control(C::Label1));
    Label2 = static_cast<TLabelX*>(control(C::Label2));
    Label3 = static_cast<TLabelX*>(control(C::Label3));
    Label4 = static_cast<TLabelX*>(control(C::Label4));
    Label5 = static_cast<TLabelX*>(control(C::Label5));
    Label6 = static_cast<TLabelX*>(control(C::Label6));
    seMaxOld = static_cast<TSpinEdit*>(control(C::seMaxOld));
    seMaxSame = static_cast<TSpinEdit*>(control(C::seMaxSame));
    seMaxRadku = static_cast<TSpinEdit*>(control(C::seMaxRadku));
    seInterval = static_cast<TSpinEdit*>(control(C::seInterval));
    LabelX1 = static_cast<TLabelX*>(control(C::LabelX1));
    LabelX2 = static_cast<TLabelX*>(control(C::LabelX2));
    seWait = static_cast<TSpinEditX*>(control(C::seWait));
    bSaveConf = static_cast<QPushButton*>(control(C::bSaveConf));
    cxJinyAdrReq = static_cast<QCheckBox*>(control(C::cxJinyAdrReq));
    ePathTo = static_cast<TadpEdit*>(control(C::ePathTo));
    bJinyAdrReq = static_cast<QPushButton*>(control(C::bJinyAdrReq));
    seWait->setValue(kRouterWaitDefault);

    // A caption wider than the room before its field (with a wider font than
    // the layout was made for) is drawn a little narrower rather than running
    // under the field or being cut off.
    for (TLabelX* l : {Label1, Label2, Label4, Label5, LabelX2})
        fitBefore(l, seMaxOld->x() - kLabelGapPx);

    std::vector<const PanelControlRow*> tabOrder;
    for (const PanelControlRow& row : PanelControls()) {
        if (row.tabOrder >= 0)
            tabOrder.push_back(&row);
    }
    std::sort(tabOrder.begin(), tabOrder.end(), [](auto* a, auto* b) { return a->tabOrder < b->tabOrder; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(control(tabOrder[i - 1]->id), control(tabOrder[i]->id));
}

void SettingsPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    const QRect inner = contentsRect();
    Panel2->setGeometry(inner.left(), inner.top(), kActivityStripWidthPx, inner.height());
    pActive->setGeometry(0, Panel2->height() - kActivitySizePx, kActivitySizePx, kActivitySizePx);
}

bool SettingsPanel::isChecked(PanelControl id) const { return static_cast<QCheckBox*>(control(id))->isChecked(); }

void SettingsPanel::setChecked(PanelControl id, bool on) { static_cast<QCheckBox*>(control(id))->setChecked(on); }

std::int32_t SettingsPanel::value(PanelControl id) const { return static_cast<TSpinEdit*>(control(id))->Value(); }

void SettingsPanel::setValue(PanelControl id, std::int32_t value)
{
    static_cast<TSpinEdit*>(control(id))->setValue(value);
}

std::string SettingsPanel::text(PanelControl id) const
{
    return static_cast<TadpEdit*>(control(id))->text().toStdString();
}

void SettingsPanel::setText(PanelControl id, const std::string& text)
{
    static_cast<TadpEdit*>(control(id))->setText(QString::fromStdString(text));
}

void SettingsPanel::setEnabled(PanelControl id, bool on) { control(id)->setEnabled(on); }

void SettingsPanel::setFocus(PanelControl id) { control(id)->setFocus(Qt::OtherFocusReason); }

std::optional<std::string> SettingsPanel::chooseFile()
{
    if (std::optional<std::optional<std::string>> queued = TakeQueuedFile(m_answers))
        return *queued;
    if (!m_od1) {
        // No filter, title or start folder of our own: the toolkit's defaults
        // apply. The dialog stays resizable.
        m_od1 = new QFileDialog(window());
        m_od1->setObjectName(QStringLiteral("od1"));
        m_od1->setFileMode(QFileDialog::ExistingFile);
        m_od1->setAcceptMode(QFileDialog::AcceptOpen);
    }
    // Browsing must not move the process's current folder, against which a
    // relative other folder is resolved.
    const QString current = QDir::currentPath();
    const bool accepted = m_od1->exec() == QDialog::Accepted;
    QDir::setCurrent(current);
    if (!accepted || m_od1->selectedFiles().isEmpty())
        return std::nullopt;
    return m_od1->selectedFiles().constFirst().toStdString();
}

}  // namespace ovin
