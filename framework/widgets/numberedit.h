#pragma once

#include "widgets/edit.h"

// A number entry in pt_BR notation (decimal comma, "." groups thousands when
// shown). Typing accepts digits, one comma (a "." is taken as the comma) and a
// leading minus; the number is shown with its decimals, and with the
// thousands separator when asked, once the focus leaves or it is set.
// The empty entry reads as 0.
class TNumberEdit : public TEdit
{
    Q_OBJECT
public:
    explicit TNumberEdit(QWidget *parent = nullptr);

    double GetNumber() const;
    void SetNumber(double value);
    int Decimals() const { return m_decimals; }
    void SetDecimals(int decimals);
    bool ThousandSeparator() const { return m_thousands; }
    void SetThousandSeparator(bool on);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void reformat();

    int m_decimals = 2;
    bool m_thousands = true;
};
