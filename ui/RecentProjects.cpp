#include "RecentProjects.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace {
const QString key = QStringLiteral("recentProjects");

QString absolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
} // namespace

RecentProjects::RecentProjects(QSettings &settings, QWidget *menuParent, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_menu(new QMenu(QStringLiteral("&Naposledy otevřené"), menuParent))
{
    m_menu->setObjectName(QStringLiteral("recentProjectsMenu"));
    fillMenu();
}

QStringList RecentProjects::paths() const
{
    QStringList paths = m_settings.value(key).toStringList();
    paths.removeAll(QString());
    paths.removeDuplicates();
    return paths.mid(0, capacity);
}

void RecentProjects::add(const QString &path)
{
    if (path.isEmpty())
        return;
    const QString added = absolute(path);
    QStringList paths = this->paths();
    paths.removeAll(added);
    paths.prepend(added);
    store(paths.mid(0, capacity));
}

void RecentProjects::remove(const QString &path)
{
    QStringList paths = this->paths();
    if (paths.removeAll(absolute(path)) > 0)
        store(paths);
}

void RecentProjects::clear()
{
    store({});
}

void RecentProjects::store(const QStringList &paths)
{
    if (paths.isEmpty())
        m_settings.remove(key);
    else
        m_settings.setValue(key, paths);
    fillMenu();
}

void RecentProjects::fillMenu()
{
    // Deleted later: an entry may be the one being chosen, which opens a
    // project that then comes to the top of the list.
    for (QAction *entry : m_menu->actions()) {
        m_menu->removeAction(entry);
        entry->deleteLater();
    }
    const QStringList paths = this->paths();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        // "&1 /home/…/projekt.kstx": the number to choose it by, the whole
        // path, as two projects may share a name.
        QString shown = QDir::toNativeSeparators(paths[i]);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *entry = m_menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        entry->setData(paths[i]);
        connect(entry, &QAction::triggered, this, [this, path = paths[i]] { emit openRequested(path); });
    }
    if (!paths.isEmpty())
        m_menu->addSeparator();
    QAction *clearEntry = m_menu->addAction(QStringLiteral("&Vymazat seznam"));
    clearEntry->setObjectName(QStringLiteral("clearRecentProjectsAction"));
    clearEntry->setEnabled(!paths.isEmpty());
    connect(clearEntry, &QAction::triggered, this, &RecentProjects::clear);
}
