#pragma once

#include <QWidget>

class QListWidget;

namespace skelvin {

class AppContext;

// The skier list: the names of "SkierNames.txt" in the application directory; a double click
// gives one to the capture screen. Opened by the capture screen, closed (and deleted) after
// each use.
class frmSelectSkier : public QWidget
{
    Q_OBJECT

public:
    explicit frmSelectSkier(AppContext &context, QWidget *owner = nullptr);

    void lstSkiers_DblClick(int row);
    void cmdNoSelect_Click();

signals:
    // The capture screen's skier name box takes this name.
    void skierChosen(const QString &name);

private:
    void Form_Load();

    AppContext &m_context;
    QListWidget *m_lstSkiers = nullptr;
};

} // namespace skelvin
