#include "xp_dialog.h"

CXpDialog::CXpDialog(QWidget* parent) : QDialog(parent) {}

void CXpDialog::SetCaption(const QString& caption) {
    caption_ = caption;
    setWindowTitle(caption.simplified().isEmpty() ? QStringLiteral("Vantorel") : caption);
}
