#pragma once

#include "widgets/classicmask.h"
#include "widgets/edit.h"

// A line edit with an edit mask in the classic notation (ClassicMask). Its
// Text keeps every position: an untouched "9999:99;1; " edit reads "    :  ",
// ">aaaa;0; " forces upper case and keeps no literals, "99:99;0; " reads
// four characters. Without a mask it is a plain TEdit.
class TMaskEdit : public TEdit
{
    Q_OBJECT
public:
    explicit TMaskEdit(QWidget *parent = nullptr);

    QString EditMask() const { return m_classic; }
    void SetEditMask(const QString &classicMask);

    QString Text() const override;
    void SetText(const QString &text) override;

protected:
    // Entering by keyboard or program selects the whole entry, so typing
    // starts at its first position.
    void focusInEvent(QFocusEvent *event) override;

private:
    QString m_classic;
    ClassicMask m_mask;
};
