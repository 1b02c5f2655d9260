#pragma once
// A main window's MDI area and the shell's requests for the editor window
// tests: OpenCommandWindow creates real editor windows in the area; the map
// updates the notifier tells are recorded.
#include "support/DeskTopControls.h"
#include "support/FakePresenter.h"
#include "desktop/DeskTopFactory.h"
#include "desktop/frmDeskTop.h"
#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/Grid.h"
#include "model/Twips.h"
#include "model/ModuleManagement.h"

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStringList>
#include <gtest/gtest.h>

#include <memory>

class DeskTopWindows : public IShellRequests {
public:
    QMdiArea* area = nullptr;
    // The modules whose branch of the project map is made afresh, in order:
    // their grid edited, or an update asked for (F5).
    QStringList mapUpdates;
    // Every edit told, as "name,commands" or "name,heading".
    QStringList edits;

    // Becomes App().Shell and records what App().Notifier tells of edits.
    void Install()
    {
        App().Shell = this;
        Notifier* n = App().Notifier.get();
        QObject::connect(n, &Notifier::ModuleChanged, &listener,
                         [this](const clsModule& module, Long, ModulePart part) {
                             edits.append(module.Name +
                                          (part == ModulePart::Commands ? QStringLiteral(",commands")
                                                                        : QStringLiteral(",heading")));
                             if (part == ModulePart::Commands)
                                 mapUpdates.append(module.Name);
                         });
        QObject::connect(n, &Notifier::MapUpdateRequested, &listener,
                         [this](const clsModule& module, Long) { mapUpdates.append(module.Name); });
    }

    ICommandWindow* CreateDeskTop() override { return CreateDeskTopWindow(area).window; }
    void DoEvents() override { QCoreApplication::processEvents(); }

private:
    QObject listener;
};

class DeskTopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetApp();
        area = std::make_unique<QMdiArea>();
        area->resize(1100, 800);
        area->show();
        windows.area = area.get();
        windows.Install();
        App().Presenter = &presenter;
    }

    void TearDown() override
    {
        area.reset();
        Flush();
        ResetApp();
    }

    // Runs pending events, deferred deletions included.
    static void Flush()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    static std::shared_ptr<clsCommand> Command(const QString& key, int x, int y, int picIndex,
                                               const QString& caption0 = QString(),
                                               const QString& caption1 = QString())
    {
        auto c = std::make_shared<clsCommand>();
        c->SetKeyText(key);
        c->x = Integer(x);
        c->y = Integer(y);
        c->PicIndex = Integer(picIndex);
        c->setPicCaption(0, caption0);
        c->setPicCaption(1, caption1);
        c->Param1Source = -1;
        c->Param2Source = -1;
        c->Param1Value = -1;
        c->Param2Value = -1;
        return c;
    }

    static void Put(CommandCollection& grid, const std::shared_ptr<clsCommand>& c)
    {
        grid.Add(c, ColKey(c->x, c->y));
    }

    TaskPtr AddTask(const QString& name)
    {
        auto t = std::make_shared<clsTask>();
        t->Name = name;
        t->ModulType = 1;
        t->mLoop = 1;
        t->StartOnStartup = 1;
        t->mTitle = QStringLiteral("[general task description]");
        t->mNumber = Integer(App().TaskList().Count() + 1);
        App().AddModule(t);
        return t;
    }

    // Whether the desk shows the cell cursor's frame on that cell: its left
    // and top edges in the text colour, as the desk paints them.
    static bool CursorFrameOn(frmDeskTop* f, int column, int row)
    {
        const QImage desk = picDeskTop(f)->grab().toImage();
        const QRect cell = PixRect(GridDocument::CellLeft(column), GridDocument::CellTop(row), GridDocument::CellWidth,
                                   GridDocument::CellHeight);
        const QColor pen = f->palette().color(QPalette::WindowText);
        return desk.pixelColor(cell.left() + 1, cell.center().y()) == pen
               && desk.pixelColor(cell.center().x(), cell.top() + 1) == pen;
    }

    static frmDeskTop* WindowOf(CommandOwner* owner)
    {
        return dynamic_cast<frmDeskTop*>(owner->CommandWindow);
    }

    frmDeskTop* OpenTask(const TaskPtr& t)
    {
        OpenCommandWindow(ModuleKind::Task, t.get(), QString(), QString());
        Flush();
        return WindowOf(t.get());
    }

    frmDeskTop* OpenBody(Long kind, clsCommand* block, const QString& taskName, const QString& caption)
    {
        OpenCommandWindow(kind, block, taskName, caption);
        Flush();
        return WindowOf(block);
    }

    std::unique_ptr<QMdiArea> area;
    DeskTopWindows windows;
    FakePresenter presenter;
};
