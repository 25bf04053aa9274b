#include "SettingsPanel.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <cstdint>
#include <deque>

#include "OverstruckButton.h"
#include "controls/qt/Spin.h"
#include "controls/qt/ckLabelX.h"
#include "controls/qt/ckSpinEditX.h"
#include "controls/qt/csAdpEdit.h"
#include "settings/Config.h"

namespace ovin {

namespace {

constexpr int kStripWidthPx = 10;
constexpr int kActiveSizePx = 10;
constexpr int kIntervalScale = 1000;  // the panel edits Interval in seconds, the record holds milliseconds
constexpr int kDesignFontPt = 8;
constexpr int kLabelGapPx = 2;

const QString kHintMaxOld = QStringLiteral("Stáří request.cfg před spustěním Trovanu aby došlo k jeho smazání");
const QString kHintMaxSame =
    QStringLiteral("Určuje kolikrát musí být soubor request.cfg stejný než dojde k rozhodnutí ukončit Trovan");
const QString kHintMaxRadku =
    QStringLiteral("Určuje kolik řádků musí obsahovat request.cfg aby došlo k jejich zaznamu do logu");
const QString kHintInterval =
    QStringLiteral("Určuje jak dlouho po startu porgram vyčká než spustí hlavní cyklus");

std::deque<QString>& queuedFiles()
{
    static std::deque<QString> files;
    return files;
}

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

template <typename W>
W* place(W* w, const char* name, int left, int top, int width, int height)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(left, top, std::max(width, captionRoom(w)), height);
    return w;
}

TLabelX* label(QWidget* parent, const char* name, const QString& caption, int left, int top,
               const QString& hint = {})
{
    auto* l = new TLabelX(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(left, top);
    l->setToolTip(hint);
    return l;
}

TSpinEdit* spin(TSpinEdit* s, const char* name, int top, int minValue, int maxValue, const QString& hint = {})
{
    s->setMinValue(minValue);
    s->setMaxValue(maxValue);
    s->setToolTip(hint);
    s->setObjectName(QString::fromLatin1(name));
    s->setGeometry(312, top, 73, 22);
    return s;
}

}  // namespace

SettingsPanel::SettingsPanel(TConf& conf, QWidget* parent) : QFrame(parent), m_conf(conf)
{
    setObjectName(QStringLiteral("Panel1"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    createControls();

    // ShowSettings and "ULOŽIT" go through these rows in this order; each
    // names its setting by its key in the settings file.
    const struct {
        QWidget* control;
        const char* key;
        int scale;
    } rows[] = {
        {cxHlidatTrovan, "HlidatZdaTrovanJede", 1},
        {cxMazatRq, "MazatRequest", 1},
        {cxZobrazitIkonu, "ZobrazitIkonu", 1},
        {seInterval, "Interval", kIntervalScale},
        {seMaxSame, "MaxStejnyRequest", 1},
        {seMaxOld, "MaxStariRequest", 1},
        {seMaxRadku, "MaxRadkuRequest", 1},
        {seWait, "CekaniNaTrovan", 1},
        {cxJinyAdrReq, "JinyAdrReq", 1},
        {ePathTo, "AdrReq", 1},
    };
    for (const auto& r : rows) {
        const SettingKey* key = FindSetting(r.key);
        Q_ASSERT(key);
        m_rows.push_back({r.control, key, r.scale});
    }

    connect(bSaveConf, &QPushButton::clicked, this, &SettingsPanel::bSaveConfClick);
    connect(cxJinyAdrReq, &QCheckBox::toggled, this, &SettingsPanel::cxJinyAdrReqClick);
    connect(bJinyAdrReq, &QPushButton::clicked, this, &SettingsPanel::bJinyAdrReqClick);
}

void SettingsPanel::createControls()
{
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    pActive = new QFrame(Panel2);
    pActive->setObjectName(QStringLiteral("pActive"));
    pActive->setAutoFillBackground(true);

    cxHlidatTrovan =
        place(new QCheckBox(QStringLiteral("Hlídat zda je Trovan spuštěný"), this), "cxHlidatTrovan", 16, 16, 169, 17);
    cxHlidatTrovan->setToolTip(
        QStringLiteral("V nastaveném intervalu ověřuje zda je process Trovan spuštěn a pokud není tak ho spustí."));
    cxMazatRq = place(new QCheckBox(QStringLiteral("Mazat request.cfg"), this), "cxMazatRq", 16, 40, 137, 17);
    cxMazatRq->setToolTip(QStringLiteral(
        "Před násilným ukončením Trovanu smaže soubor request.cfg ! Nemá vliv na nastavení Max stáří request"));
    cxZobrazitIkonu =
        place(new QCheckBox(QStringLiteral("Zobrazit ikonu programu"), this), "cxZobrazitIkonu", 16, 64, 161, 17);

    Label1 = label(this, "Label1", QStringLiteral("Max stáří request"), 192, 16, kHintMaxOld);
    seMaxOld = spin(new TSpinEdit(this), "seMaxOld", 8, 0, 600000, kHintMaxOld);
    Label3 = label(this, "Label3", QStringLiteral("sec"), 392, 16);
    Label2 = label(this, "Label2", QStringLiteral("Max stejných request"), 192, 40, kHintMaxSame);
    seMaxSame = spin(new TSpinEdit(this), "seMaxSame", 32, 1, 1000, kHintMaxSame);
    Label4 = label(this, "Label4", QStringLiteral("Max řádků request"), 192, 64, kHintMaxRadku);
    seMaxRadku = spin(new TSpinEdit(this), "seMaxRadku", 56, 1, 1000, kHintMaxRadku);
    Label5 = label(this, "Label5", QStringLiteral("Startovní interval"), 192, 88, kHintInterval);
    seInterval = spin(new TSpinEdit(this), "seInterval", 80, 1, 1000000, kHintInterval);
    Label6 = label(this, "Label6", QStringLiteral("sec"), 392, 88);
    LabelX2 = label(this, "LabelX2", QStringLiteral("Čekat na spuštění Trovan"), 192, 112);
    // Minimum and maximum both 0: the wait is not limited, negative values included.
    seWait = new TSpinEditX(this);
    spin(seWait, "seWait", 104, 0, 0);
    seWait->setValue(10);
    LabelX1 = label(this, "LabelX1", QStringLiteral("sec"), 392, 112);

    bSaveConf = new OverstruckButton(QStringLiteral("ULOŽIT"), this);
    QFont bold(QStringLiteral("MS Sans Serif"), kDesignFontPt);
    bold.setBold(true);
    bSaveConf->setFont(bold);
    QPalette red = bSaveConf->palette();
    red.setColor(QPalette::ButtonText, QColor(255, 0, 0));
    bSaveConf->setPalette(red);
    place(bSaveConf, "bSaveConf", 504, 96, 75, 25);

    cxJinyAdrReq =
        place(new QCheckBox(QStringLiteral("Jiný adresář request.cfg"), this), "cxJinyAdrReq", 424, 16, 153, 17);
    ePathTo = new TadpEdit(this);
    ePathTo->setObjectName(QStringLiteral("ePathTo"));
    ePathTo->setGeometry(424, 37, 153, 21);
    ePathTo->setToolTip(QStringLiteral("Cesta k request.cfg"));
    ePathTo->setColorOnEnter(QColor(0, 255, 0));
    ePathTo->setAlignment(taLeftJustify);
    ePathTo->setTabOnEnter(false);
    bJinyAdrReq = place(new QPushButton(QStringLiteral("Najít ..."), this), "bJinyAdrReq", 520, 56, 57, 22);

    // A caption wider than the room before its field (with a wider font than
    // the layout was made for) is drawn a little narrower rather than running
    // under the field or being cut off.
    for (TLabelX* l : {Label1, Label2, Label4, Label5, LabelX2})
        fitBefore(l, seMaxOld->x() - kLabelGapPx);

    const QWidget* tabOrder[] = {cxHlidatTrovan, cxMazatRq, cxZobrazitIkonu, seMaxOld, seMaxSame,   bSaveConf,
                                 seMaxRadku,     seInterval, seWait,         cxJinyAdrReq, bJinyAdrReq, ePathTo};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        QWidget::setTabOrder(const_cast<QWidget*>(tabOrder[i - 1]), const_cast<QWidget*>(tabOrder[i]));
}

void SettingsPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    const QRect inner = contentsRect();
    Panel2->setGeometry(inner.left(), inner.top(), kStripWidthPx, inner.height());
    pActive->setGeometry(0, Panel2->height() - kActiveSizePx, kActiveSizePx, kActiveSizePx);
}

void SettingsPanel::ShowSettings()
{
    for (const Row& r : m_rows) {
        switch (r.key->kind) {
        case SettingKind::Bool:
            static_cast<QCheckBox*>(r.control)->setChecked(m_conf.*r.key->flag);
            break;
        case SettingKind::Int:
            static_cast<TSpinEdit*>(r.control)->setValue(m_conf.*r.key->number / r.scale);
            break;
        case SettingKind::Text:
            static_cast<TadpEdit*>(r.control)->setText(QString::fromStdString(m_conf.*r.key->text));
            break;
        }
    }
    enablePathControls(m_conf.JinyAdrReq);
}

void SettingsPanel::bSaveConfClick()
{
    for (const Row& r : m_rows) {
        switch (r.key->kind) {
        case SettingKind::Bool:
            m_conf.*r.key->flag = static_cast<QCheckBox*>(r.control)->isChecked();
            break;
        case SettingKind::Int:
            // Plain 32-bit arithmetic: a typed value too large for the record
            // wraps instead of being undefined.
            m_conf.*r.key->number = static_cast<std::int32_t>(
                static_cast<std::int64_t>(static_cast<TSpinEdit*>(r.control)->Value()) * r.scale);
            break;
        case SettingKind::Text:
            m_conf.*r.key->text = static_cast<TadpEdit*>(r.control)->text().toStdString();
            break;
        }
    }
}

void SettingsPanel::cxJinyAdrReqClick()
{
    m_conf.JinyAdrReq = cxJinyAdrReq->isChecked();
    enablePathControls(m_conf.JinyAdrReq);
}

void SettingsPanel::enablePathControls(bool on)
{
    ePathTo->setEnabled(on);
    bJinyAdrReq->setEnabled(on);
}

void SettingsPanel::bJinyAdrReqClick()
{
    QString file;
    if (!chooseFile(file))
        return;
    ePathTo->setText(FolderOfFile(file));
    ePathTo->setFocus(Qt::OtherFocusReason);
    m_conf.AdrReq = ePathTo->text().toStdString();
}

bool SettingsPanel::chooseFile(QString& filePath)
{
    if (!queuedFiles().empty()) {
        filePath = queuedFiles().front();
        queuedFiles().pop_front();
        return !filePath.isNull();
    }
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
        return false;
    filePath = m_od1->selectedFiles().constFirst();
    return true;
}

QString SettingsPanel::FolderOfFile(const QString& filePath)
{
    // The dialog names files with "/" on every platform.
    const qsizetype sep = filePath.lastIndexOf(QLatin1Char('/'));
    if (sep < 0)
        return {};
    // "/" and "D:/" are roots: they keep their separator.
    const bool root = sep == 0 || filePath.at(sep - 1) == QLatin1Char(':');
    return filePath.left(root ? sep + 1 : sep);
}

void SettingsPanel::QueueFileAnswer(const QString& filePath) { queuedFiles().push_back(filePath); }

}  // namespace ovin
