#include "ui/samplepresetsdlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

CBitsChoice::CBitsChoice(QWidget* owner)
    : m_group(new QButtonGroup(owner)), m_buttons{
                                            new QRadioButton(QStringLiteral("&8-bit")),
                                            new QRadioButton(QStringLiteral("&16-bit")),
                                            new QRadioButton(QStringLiteral("&24-bit")),
                                            new QRadioButton(QStringLiteral("&32-bit float"))} {
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        m_group->addButton(m_buttons[i], int(i));
}

SampleDepth CBitsChoice::Depth() const {
    const int id = m_group->checkedId();
    return id < 0 ? SampleDepth::Int8 : SampleDepth(id);
}

void CBitsChoice::SetDepth(SampleDepth depth) {
    Button(depth)->setChecked(true);
}

void CBitsChoice::Clear() {
    m_group->setExclusive(false);
    for (QRadioButton* button : m_buttons)
        button->setChecked(false);
    m_group->setExclusive(true);
}

QGridLayout* FormatChoiceGrid(QWidget* owner, const CBitsChoice& bits, QRadioButton* mono,
                              QRadioButton* stereo) {
    auto* channels = new QButtonGroup(owner);
    channels->addButton(mono);
    channels->addButton(stereo);
    auto* grid = new QGridLayout;
    for (int column = 0; column < int(bits.Buttons().size()); ++column)
        grid->addWidget(bits.Buttons()[std::size_t(column)], 0, column);
    grid->addWidget(mono, 1, 0);
    grid->addWidget(stereo, 1, 1);
    grid->setColumnStretch(int(bits.Buttons().size()), 1);
    return grid;
}

QString CFormatChoice::FrequencyText(int hertz) {
    return QStringLiteral("%1 Hz").arg(hertz);
}

int CFormatChoice::FrequencyOf(const QString& text) {
    const QString trimmed = text.trimmed();
    qsizetype end = 0;
    if (end < trimmed.size() && (trimmed[end] == u'-' || trimmed[end] == u'+'))
        ++end;
    while (end < trimmed.size() && trimmed[end].isDigit() && trimmed[end].unicode() < 128)
        ++end;
    bool ok = false;
    const qint64 value = trimmed.left(end).toLongLong(&ok);
    if (!ok)
        return 0;
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

CSamplePresetsDlg::CSamplePresetsDlg(QWidget* parent, CKeyStore* keys)
    : QDialog(parent), m_store(keys), m_name(new QComboBox), m_frequency(new CSpinEdit),
      m_bits(this), m_mono(new QRadioButton(QStringLiteral("&Mono"))),
      m_stereo(new QRadioButton(QStringLiteral("&Stereo"))), m_memory(new QLabel),
      m_save(new QPushButton(QStringLiteral("&Save"))),
      m_delete(new QPushButton(QStringLiteral("&Delete"))) {
    setWindowTitle(QStringLiteral("Sample Presets"));
    setModal(true);

    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    // A name typed is the name saved: no completion may turn "CD" into "CD Quality".
    m_name->setCompleter(nullptr);
    m_name->lineEdit()->setMaxLength(kMaxNameLength);
    m_name->setMinimumContentsLength(20);
    m_frequency->SetMaxLength(10);
    m_frequency->SetRange(kMinSpinHertz, kMaxSpinHertz);
    m_bits.SetDepth(SampleDepth::Int8);
    m_mono->setChecked(true);
    m_memory->setMinimumWidth(m_memory->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 25);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), m_name);
    form->addRow(QStringLiteral("&Frequency:"), m_frequency);
    form->addRow(QString(), FormatChoiceGrid(this, m_bits, m_mono, m_stereo));
    form->addRow(QStringLiteral("Memory:"), m_memory);

    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(m_save);
    buttons->addWidget(m_delete);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setSpacing(16);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_save, &QPushButton::clicked, this, &CSamplePresetsDlg::OnSave);
    connect(m_delete, &QPushButton::clicked, this, &CSamplePresetsDlg::OnDelete);
    connect(m_name, &QComboBox::textActivated, this, &CSamplePresetsDlg::ShowPreset);
    connect(m_name->lineEdit(), &QLineEdit::textEdited, this, &CSamplePresetsDlg::ShowPreset);
    connect(m_frequency, &CSpinEdit::textEdited, this, &CSamplePresetsDlg::ShowFormat);
    connect(m_frequency, &CSpinEdit::stepped, this, [this](int hertz) {
        m_frequency->SetText(CFormatChoice::FrequencyText(hertz));
        ShowFormat();
    });
    std::vector<QRadioButton*> radios(m_bits.Buttons().begin(), m_bits.Buttons().end());
    radios.insert(radios.end(), {m_mono, m_stereo});
    for (QRadioButton* radio : radios)
        connect(radio, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                ShowFormat();
        });

    FillNames();
    m_name->setCurrentIndex(-1);
    SetFormat(CFormatChoice());
}

void CSamplePresetsDlg::SetName(const QString& name) {
    m_name->setEditText(name);
}

void CSamplePresetsDlg::SetFormat(const CFormatChoice& format) {
    m_frequency->SetText(format.frequencyText);
    m_bits.SetDepth(format.depth);
    (format.stereo ? m_stereo : m_mono)->setChecked(true);
    ShowFormat();
}

QString CSamplePresetsDlg::Name() const {
    return m_name->currentText();
}

CFormatChoice CSamplePresetsDlg::Format() const {
    return {m_frequency->Text(), m_bits.Depth(), m_stereo->isChecked()};
}

QString CSamplePresetsDlg::MemoryText(int frequency, SampleDepth depth, bool stereo) {
    const qint64 bytes = qint64(frequency) * DepthBytes(depth) * (stereo ? 2 : 1);
    return QStringLiteral("%1 Kb/sec").arg(bytes / 1024);
}

void CSamplePresetsDlg::FillNames() {
    const QString name = m_name->currentText();
    QStringList names;
    for (auto stored = m_store.FirstName(); stored; stored = m_store.NextName())
        names.append(*stored);
    // Case-blind first, as a sorted list reads; exact order only between names that differ in
    // case alone.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int blind = a.compare(b, Qt::CaseInsensitive);
        return blind != 0 ? blind < 0 : a < b;
    });
    m_name->clear();
    m_name->addItems(names);
    m_name->setEditText(name);
}

void CSamplePresetsDlg::ShowFormat() {
    const CFormatChoice format = Format();
    m_memory->setText(MemoryText(format.Frequency(), format.depth, format.stereo));
    m_frequency->SetPosition(format.Frequency());
}

void CSamplePresetsDlg::ShowPreset(const QString& name) {
    if (!m_store.Load(name))
        return;
    SetFormat({CFormatChoice::FrequencyText(m_store.Frequency), DepthForBits(quint32(m_store.Bits)),
               m_store.Channels == 2});
}

void CSamplePresetsDlg::OnSave() {
    const CFormatChoice format = Format();
    m_store.Frequency = format.Frequency();
    m_store.Channels = format.stereo ? 2 : 1;
    m_store.Bits = int(DepthBits(format.depth));
    if (!m_store.Save(Name()))
        return;
    FillNames();
    ShowFormat();
}

void CSamplePresetsDlg::OnDelete() {
    if (m_store.Delete(Name()))
        FillNames();
}

CQualityList::CQualityList(QWidget* parent, CKeyStore* keys)
    : QObject(parent), m_keys(keys), m_store(keys), m_combo(new QComboBox(parent)),
      m_presets(new QPushButton(QStringLiteral("&Presets..."), parent)) {
    m_combo->setEditable(true);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->setCompleter(nullptr);
    m_combo->lineEdit()->setMaxLength(CSamplePresetsDlg::kMaxNameLength);
    m_combo->setMinimumContentsLength(18);
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Refill();
    m_combo->setEditText(QString());

    connect(m_combo, &QComboBox::textActivated, this, &CQualityList::Choose);
    connect(m_combo->lineEdit(), &QLineEdit::textEdited, this, [this] { m_typed = true; });
    connect(m_combo->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (std::exchange(m_typed, false))
            Choose(m_combo->currentText());
    });
    connect(m_presets, &QPushButton::clicked, this, [this] { RunPresets(); });
}

QString CQualityList::Text() const {
    return m_combo->currentText();
}

void CQualityList::SetText(const QString& name) {
    m_combo->setEditText(name);
}

void CQualityList::Refill() {
    const QString text = Text();
    m_combo->clear();
    for (auto name = m_store.FirstName(); name; name = m_store.NextName())
        m_combo->addItem(*name);
    SetText(text);
}

void CQualityList::Lookup(int frequency, bool stereo, SampleDepth depth) {
    SetText(m_store.FindName(frequency, stereo ? 2 : 1, int(DepthBits(depth))).value_or(QString()));
}

void CQualityList::SetDialogFormat(std::function<CFormatChoice()> format) {
    m_dialogFormat = std::move(format);
}

void CQualityList::RunPresets(const std::function<void(CSamplePresetsDlg&)>& run) {
    CSamplePresetsDlg dialog(m_combo->window(), m_keys);
    dialog.SetName(Text());
    if (m_dialogFormat)
        dialog.SetFormat(m_dialogFormat());
    if (run)
        run(dialog);
    else
        dialog.exec();

    const QString chosen = dialog.Name();
    Refill();
    const int index = m_combo->findText(chosen, Qt::MatchExactly | Qt::MatchCaseSensitive);
    m_combo->setCurrentIndex(index);
    SetText(index < 0 ? QString() : chosen);
    if (index >= 0)
        Choose(chosen);
}

void CQualityList::Choose(const QString& name) {
    if (m_store.Load(name))
        emit presetChosen(m_store.Frequency, m_store.Channels, m_store.Bits);
}
