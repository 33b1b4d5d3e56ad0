// A page of the page area: built from its template, filled with the page
// background, coloured with the page palette (the theme's role "page"), with
// one binding table.
#pragma once

#include "form_binding.h"
#include "page_host.h"
#include "template_builder.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QPropertyAnimation;
class QTimer;

class CPage : public QWidget {
    Q_OBJECT
public:
    CPage(const tmpl::Window& t, QWidget* parent, const tmpl::CustomFactory& custom = {});

    // Called by the main window just before it shows the page for a tree node.
    virtual void OnSelected() {}
    // Called right after it has shown it.
    virtual void OnShown() {}
    // The main window creates its pages while its book is still being read,
    // and calls this once the book is in: pages that list records list them.
    virtual void OnBookLoaded() {}
    // Pages that hold reminder switches put their current values in.
    virtual void CollectSwitches(ReminderSwitches&) const {}

    // The control with that id; one the template lacks stops the program (tmpl::Ctl).
    template <class T = QWidget> T* Ctl(int id) const { return tmpl::Ctl<T>(this, id); }

    // The line under the page's buttons that names what was just stored
    // ("已添加保单 …"): no box, so that fast entry keeps its pace. It fades
    // out after kSaidShownMs.
    void Say(const QString& text);
    QLabel* SaidLine() const { return said_; }
    static constexpr int kSaidShownMs = 4000;
    static constexpr int kSaidFadeMs = 600;

protected:
    // Connects a push button's click to a handler of the page.
    template <class F> void OnClick(int id, F handler);

    FormBinding binding_{this};

private:
    void PlaceSaidLine();
    QLabel* said_ = nullptr;
    QTimer* sayTimer_ = nullptr;
    QPointer<QPropertyAnimation> fade_;

protected:
    bool Commit() { return binding_.Commit(); }
    void CommitQuiet() { binding_.CommitQuiet(); }
    void ShowValues() { binding_.Show(); }
};

#include <QAbstractButton>

template <class F> void CPage::OnClick(int id, F handler) {
    connect(Ctl<QAbstractButton>(id), &QAbstractButton::clicked, this, handler);
}
