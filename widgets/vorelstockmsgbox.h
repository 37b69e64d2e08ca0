#pragma once

// The program's one message box: titled "错误", "提示" or "警告", a wrapped
// message and a centred "确定". Made on the caller's stack and run with exec().

#include <QDialog>

class VorelStockMsgBox final : public QDialog
{
    Q_OBJECT
public:
    VorelStockMsgBox(const QString& title, const QString& text, QWidget* parent = nullptr);
};
