#include "shell/WindowRegistry.h"

#include <QWidget>

void WindowRegistry::Add(IShellWindow* window)
{
    if (!window || Contains(window))
        return;
    QWidget* widget = window->ShellWidget();
    mEntries.append({window, widget});
    if (widget)
        connect(widget, &QObject::destroyed, this, [this, window] { Remove(window); });
}

void WindowRegistry::Remove(IShellWindow* window)
{
    mEntries.erase(std::remove_if(mEntries.begin(), mEntries.end(),
                                  [window](const Entry& e) { return e.window == window; }),
                   mEntries.end());
}

bool WindowRegistry::Contains(const IShellWindow* window) const
{
    return std::any_of(mEntries.begin(), mEntries.end(), [window](const Entry& e) { return e.window == window; });
}

QList<IShellWindow*> WindowRegistry::Windows() const
{
    QList<IShellWindow*> list;
    for (const Entry& e : mEntries)
        if (e.widget)
            list.append(e.window);
    return list;
}
