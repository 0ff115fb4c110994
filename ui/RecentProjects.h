#pragma once
// The projects opened or saved last, most recent first, kept in the settings
// so that the next start offers them too, and the submenu "Naposledy
// otevřené" that lists them, each entry asking for its project to be opened,
// with "Vymazat seznam" at its end.

#include <QObject>
#include <QStringList>

class QMenu;
class QSettings;
class QWidget;

class RecentProjects : public QObject {
    Q_OBJECT

public:
    static constexpr int capacity = 8;

    // The list is kept in settings, which must outlive this object; the
    // submenu is a child of menuParent.
    RecentProjects(QSettings &settings, QWidget *menuParent, QObject *parent = nullptr);

    // Most recent first, as absolute paths.
    QStringList paths() const;
    // The project at path goes to the top; the oldest past the capacity go.
    void add(const QString &path);
    void remove(const QString &path);
    void clear();

    QMenu *menu() const { return m_menu; }

signals:
    // An entry of the submenu was chosen.
    void openRequested(const QString &path);

private:
    void store(const QStringList &paths);
    void fillMenu();

    QSettings &m_settings;
    QMenu *m_menu;
};
