#pragma once
// CSpinEdit: an edit with up/down arrows whose text is free. The arrows (and the Up/Down keys and
// the wheel) move a position within a range and report it; what a step does to the text is the
// owner's choice (a frequency "%d Hz", a percentage that grows by half a point, a plain number).
// Typed text is never clamped or corrected, so values outside the arrows' range stay as typed.

#include <QAbstractSpinBox>
#include <QString>

class CSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit CSpinEdit(QWidget* parent = nullptr);

    QString Text() const;
    // Replaces the text without textEdited.
    void SetText(const QString& text);
    void SetMaxLength(int characters);

    void SetRange(int minimum, int maximum);
    int Minimum() const { return m_minimum; }
    int Maximum() const { return m_maximum; }
    int Position() const { return m_position; }
    // Clamped to the range; reports nothing.
    void SetPosition(int position);

    void stepBy(int steps) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The user changed the text by typing.
    void textEdited(const QString& text);
    // An arrow moved the position (`steps` up, or down when negative).
    void stepped(int position, int steps);

protected:
    StepEnabled stepEnabled() const override;

private:
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
};
