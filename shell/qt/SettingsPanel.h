#pragma once

#include <QFrame>

#include <vector>

class QCheckBox;
class QFileDialog;
class QPushButton;

namespace ovin {

class TConf;
class TLabelX;
class TSpinEdit;
class TSpinEditX;
class TadpEdit;
struct SettingKey;

/// The settings panel at the bottom of the main window: the switches, limits
/// and waits of the Watch settings, "ULOŽIT" that takes them over, and the
/// other folder of the request file. It also holds the activity strip.
///
/// The panel edits the record it is given; it never writes the settings file
/// (that happens when the program ends).
class SettingsPanel final : public QFrame {
    Q_OBJECT
public:
    SettingsPanel(TConf& conf, QWidget* parent);

    /// Copies the Watch settings into the controls and enables the path field
    /// and its button exactly while the other folder is on.
    void ShowSettings();

    /// "ULOŽIT": takes every control's value over into the Watch settings.
    /// Nothing is logged or written.
    void bSaveConfClick();

    /// The other folder's box changed: the record follows at once, so the
    /// next tick already watches the other request file.
    void cxJinyAdrReqClick();

    /// "Najít ...": the folder of a file chosen in `od1` becomes the other
    /// folder, in the path field and in the record at once.
    void bJinyAdrReqClick();

    /// The folder of a file: the path up to its last separator, without it,
    /// except that a root folder keeps it ("/request.cfg" gives "/").
    static QString FolderOfFile(const QString& filePath);

    /// Answers the next file dialogs without showing them: the chosen file,
    /// or a null string for a cancelled dialog; for runs nobody can answer.
    static void QueueFileAnswer(const QString& filePath);

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
    /// One control bound to one setting; `scale` is how many units of the
    /// setting one unit of the control is (1000 for Interval in seconds).
    struct Row {
        QWidget* control;
        const SettingKey* key;
        int scale;
    };

    void createControls();
    void enablePathControls(bool on);
    bool chooseFile(QString& filePath);

    TConf& m_conf;
    std::vector<Row> m_rows;
    QFileDialog* m_od1 = nullptr;
};

}  // namespace ovin
