#pragma once
// The format presets as the user meets them: the "Sample Presets" dialog that edits the stored
// presets, and CQualityList, the "Quality" combo box with its "&Presets..." button that the
// Recording Options dialog, the Convert Sample dialog and the properties window's Format page
// each show beside their frequency, bits and channels controls.

#include "ui/formatpresetstore.h"
#include "ui/spinedit.h"

#include "core/samplebuffer.h"

#include <QDialog>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class CKeyStore;
class QButtonGroup;
class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QRadioButton;

// A format as the dialogs show it: the frequency as its edit's text ("22050 Hz"; typed text is
// kept as typed), the bits and channels as their radio choices.
struct CFormatChoice {
    QString frequencyText = QStringLiteral("22050 Hz");
    SampleDepth depth = SampleDepth::Int8;
    bool stereo = false;

    // The frequency text read as an integer: its leading whole number, so a trailing " Hz" is
    // ignored; 0 when it does not start with one.
    static int FrequencyOf(const QString& text);
    int Frequency() const { return FrequencyOf(frequencyText); }
    // "%d Hz".
    static QString FrequencyText(int hertz);
};

// The Bits group of every format choice: "8-bit", "16-bit", "24-bit" and "32-bit float" as one
// exclusive choice whose button ids are the SampleDepth values. The buttons belong to whatever
// layout the owner puts them in; the group belongs to `owner`.
class CBitsChoice {
public:
    explicit CBitsChoice(QWidget* owner);

    QRadioButton* Button(SampleDepth depth) const { return m_buttons[std::size_t(depth)]; }
    const std::array<QRadioButton*, 4>& Buttons() const { return m_buttons; }
    QButtonGroup* Group() const { return m_group; }
    // The depth checked; 8-bit while none is.
    SampleDepth Depth() const;
    void SetDepth(SampleDepth depth);
    // Unchecks all four: no depth is shown without a sample.
    void Clear();

private:
    QButtonGroup* m_group;
    std::array<QRadioButton*, 4> m_buttons;
};

// The bits and the channels of a format as one field of a form: the four bits side by side, mono
// and stereo beneath the first two so that the columns line up. The channels' group belongs to
// `owner`.
QGridLayout* FormatChoiceGrid(QWidget* owner, const CBitsChoice& bits, QRadioButton* mono,
                              QRadioButton* stereo);

// "Sample Presets": pick a preset by name, see and change its format, save it under the name
// typed, delete it. The memory text follows the format ("172 Kb/sec" for 44100 Hz 16-bit
// stereo). The frequency spin covers 4000 to 48000 Hz; typed frequencies are stored as typed.
// A caller may set the name and the format before exec() and reads Name() after it.
class CSamplePresetsDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinSpinHertz = 4000;
    static constexpr int kMaxSpinHertz = 48000;
    // The longest name the dialogs take; the Quality lists show stored names whole.
    static constexpr int kMaxNameLength = 50;

    explicit CSamplePresetsDlg(QWidget* parent = nullptr, CKeyStore* keys = nullptr);

    void SetName(const QString& name);
    void SetFormat(const CFormatChoice& format);
    QString Name() const;
    CFormatChoice Format() const;

    // "%d Kb/sec" of the bytes one second of this format takes, in whole KiB.
    static QString MemoryText(int frequency, SampleDepth depth, bool stereo);

    // The controls, for tests.
    QComboBox* NameCombo() const { return m_name; }
    // Its arrows step 1 Hz within kMinSpinHertz..kMaxSpinHertz.
    CSpinEdit* FrequencyEdit() const { return m_frequency; }
    QRadioButton* Bits8() const { return m_bits.Button(SampleDepth::Int8); }
    QRadioButton* Bits16() const { return m_bits.Button(SampleDepth::Int16); }
    const CBitsChoice& Bits() const { return m_bits; }
    QRadioButton* Mono() const { return m_mono; }
    QRadioButton* Stereo() const { return m_stereo; }
    QLabel* MemoryLabel() const { return m_memory; }
    QPushButton* SaveButton() const { return m_save; }
    QPushButton* DeleteButton() const { return m_delete; }

private:
    void FillNames();
    void ShowFormat();
    void ShowPreset(const QString& name);
    void OnSave();
    void OnDelete();

    FormatPresetStore m_store;
    QComboBox* m_name;
    CSpinEdit* m_frequency;
    CBitsChoice m_bits;
    QRadioButton* m_mono;
    QRadioButton* m_stereo;
    QLabel* m_memory;
    QPushButton* m_save;
    QPushButton* m_delete;
};

// The "&Quality:" list of a dialog or page that edits a format. It owns the combo box (editable,
// names in the store's order), the "&Presets..." button and a store of its
// own; the owner puts Combo() and PresetsButton() into its layout (a "&Quality:" label with
// Combo() as buddy is the owner's).
//
// The owner's part of the protocol:
//  - whenever its frequency, bits or channels change, call Lookup(); the combo's text becomes the
//    name of the first preset of exactly that format, or empty;
//  - connect presetChosen and apply the format it carries to its own controls (frequency text
//    "%d Hz", stereo when channels is 2, the depth DepthForBits(bits)), then Lookup() as after
//    any change;
//  - to start the Presets dialog with its own format as well as the quality name (Recording
//    Options, Convert Sample), give SetDialogFormat() a function that reads it.
// presetChosen is emitted when the user picks a name from the list, leaves the combo after
// typing the name of a stored preset, or closes the Presets dialog on a stored name; never for
// Lookup() or Refill(), and never for a name that is not stored (then nothing changes).
class CQualityList : public QObject {
    Q_OBJECT
public:
    // Creates the combo box and the button as children of `parent`, and fills the list. `keys`:
    // the key tree of the presets, the process-wide one unless given (tests).
    explicit CQualityList(QWidget* parent, CKeyStore* keys = nullptr);

    QComboBox* Combo() const { return m_combo; }
    QPushButton* PresetsButton() const { return m_presets; }
    FormatPresetStore& Store() { return m_store; }

    // The quality text: the combo's current text.
    QString Text() const;
    void SetText(const QString& name);
    // Empties the list and fills it with every stored name in enumeration order, keeping the
    // text.
    void Refill();
    // Sets the text to the first stored preset of this format (empty when there is none).
    void Lookup(int frequency, bool stereo, SampleDepth depth);

    // What the Presets dialog starts with besides the name; unset, it starts with its own
    // defaults.
    void SetDialogFormat(std::function<CFormatChoice()> format);
    // The "&Presets..." button: runs the Sample Presets dialog modally on the current text (and
    // the owner's format), then refills the list and selects and applies the dialog's final name
    // if it is stored; otherwise nothing is selected. Also for tests: `run` replaces exec() (it
    // gets the dialog, may drive it and returns when done).
    void RunPresets(const std::function<void(CSamplePresetsDlg&)>& run = {});

signals:
    // A stored preset was chosen; the store's fields hold the same values.
    void presetChosen(int frequency, int channels, int bits);

private:
    // Loads the preset and emits presetChosen when it is stored whole.
    void Choose(const QString& name);

    CKeyStore* m_keys;
    FormatPresetStore m_store;
    QComboBox* m_combo;
    QPushButton* m_presets;
    std::function<CFormatChoice()> m_dialogFormat;
    // Text typed since the last choice: leaving the combo then chooses it.
    bool m_typed = false;
};
