// Base of the program's top-level windows (the main window and the two modal
// dialogs). The theme draws its own frame and caption on it.
#pragma once

#include <QDialog>

class CXpDialog : public QDialog {
    Q_OBJECT
public:
    explicit CXpDialog(QWidget* parent = nullptr);
    // The caption drawn in the frame (e.g. " 受 益 人").
    void SetCaption(const QString& caption);
    QString Caption() const { return caption_; }

private:
    QString caption_;
};
