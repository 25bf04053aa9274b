#pragma once

#include <QFrame>

#include <array>
#include <memory>

#include "shell/PanelFrontEnd.h"
#include "shell/SettingsPanelLogic.h"

class QCheckBox;
class QFileDialog;
class QPushButton;

namespace ovin {

class TConf;
class TLabelX;
class TSpinEdit;
class TSpinEditX;
class TadpEdit;
struct DialogAnswers;

/// The settings panel at the bottom of the main window: the switches, limits
/// and waits of the Watch settings, "ULOŽIT" that takes them over, and the
/// other folder of the request file. It also holds the activity strip.
///
/// The controls come from the panel's table and what they do is decided by
/// `SettingsPanelLogic`; this class makes the widgets and hands their values.
class SettingsPanel final : public QFrame, private PanelFrontEnd {
    Q_OBJECT
public:
    /// `answers`, when given, answers the open-file dialog instead of the user.
    SettingsPanel(TConf& conf, DialogAnswers* answers, QWidget* parent);

    /// Copies the Watch settings into the controls and enables the path field
    /// and its button exactly while the other folder is on.
    void ShowSettings() { m_logic.ShowSettings(); }

    /// "ULOŽIT": takes every control's value over into the Watch settings.
    /// Nothing is logged or written.
    void bSaveConfClick() { m_logic.bSaveConfClick(); }

    /// The other folder's box changed: the record follows at once, so the
    /// next tick already watches the other request file.
    void cxJinyAdrReqClick() { m_logic.cxJinyAdrReqClick(); }

    /// "Najít ...": the folder of a file chosen in `od1` becomes the other
    /// folder, in the path field and in the record at once.
    void bJinyAdrReqClick() { m_logic.bJinyAdrReqClick(); }

    /// The control of one row of the panel's table.
    QWidget* control(PanelControl id) const { return m_controls[static_cast<std::size_t>(id)]; }

    /// The open-file dialog, made when "Najít ..." first needs it.
    QFileDialog* od1() const { return m_od1; }

    QFrame* Panel2 = nullptr;
    QFrame* pActive = nullptr;
    QCheckBox* cxHlidatTrovan = nullptr;
    QCheckBox* cxMazatRq = nullptr;
    QCheckBox* cxZobrazitIkonu = nullptr;
    TLabelX* Label1 = nullptr;
    TLabelX* Label2 = nullptr;
    TLabelX* Label3 = nullptr;
    TLabelX* Label4 = nullptr;
    TLabelX* Label5 = nullptr;
    TLabelX* Label6 = nullptr;
    TSpinEdit* seMaxOld = nullptr;
    TSpinEdit* seMaxSame = nullptr;
    TSpinEdit* seMaxRadku = nullptr;
    TSpinEdit* seInterval = nullptr;
    TLabelX* LabelX1 = nullptr;
    TLabelX* LabelX2 = nullptr;
    TSpinEditX* seWait = nullptr;
    QPushButton* bSaveConf = nullptr;
    QCheckBox* cxJinyAdrReq = nullptr;
    TadpEdit* ePathTo = nullptr;
    QPushButton* bJinyAdrReq = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // PanelFrontEnd
    bool isChecked(PanelControl control) const override;
    void setChecked(PanelControl control, bool on) override;
    std::int32_t value(PanelControl control) const override;
    void setValue(PanelControl control, std::int32_t value) override;
    std::string text(PanelControl control) const override;
    void setText(PanelControl control, const std::string& text) override;
    void setEnabled(PanelControl control, bool on) override;
    void setFocus(PanelControl control) override;
    std::optional<std::string> chooseFile() override;

    void createControls();
    QWidget* createControl(const PanelControlRow& row);

    SettingsPanelLogic m_logic;
    DialogAnswers* m_answers;
    std::array<QWidget*, kPanelControlCount> m_controls{};
    QFileDialog* m_od1 = nullptr;
};

}  // namespace ovin
