#pragma once
// Helpers the file tests share: a program folder in a temporary directory,
// the recording message box and windows, file text helpers and a dump of a
// grid that shows every member of every command.
#include "support/FakePresenter.h"
#include "support/FakeWindows.h"
#include "support/PrintTexts.h"
#include "support/TestFiles.h"

#include "model/CommandCatalogue.h"
#include "model/AppState.h"
#include "model/Notifier.h"
#include "model/Grid.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace filetest {

// Lines written in the source as UTF-8, joined with CR LF (each line ends in
// one) and encoded as Latin-1, as the files hold them.
inline QByteArray crlf(const std::vector<const char*>& lines)
{
    QString text;
    for (const char* l : lines)
        text += QString::fromUtf8(l) + QStringLiteral("\r\n");
    return text.toLatin1();
}

// The same without a line end after the last line.
inline QByteArray crlfCut(const std::vector<const char*>& lines)
{
    QByteArray b = crlf(lines);
    b.chop(2);
    return b;
}

inline QString u(const char* s) { return QString::fromUtf8(s); }

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

inline QString fixtureFolder() { return QStringLiteral(QM_TEST_DATA "/files"); }

// Copies the folder tree below `from` into `to`.
inline void copyTree(const QString& from, const QString& to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + QLatin1Char('/') + QDir(from).relativeFilePath(src);
        QDir().mkpath(QFileInfo(dst).absolutePath());
        QFile::remove(dst);
        QFile::copy(src, dst);
    }
}

inline QString dumpValue(const Variant& v)
{
    switch (v.kind()) {
    case Variant::Kind::Empty: return QStringLiteral("_");
    case Variant::Kind::Number: return QStringLiteral("n") + vb::numberText(v.toDouble());
    case Variant::Kind::Text: return QStringLiteral("t'") + v.toString() + QLatin1Char('\'');
    }
    return {};
}

inline QStringList sortedKeys(const CommandCollection& grid)
{
    QStringList keys;
    for (const auto& e : grid)
        keys.append(e.key);
    std::sort(keys.begin(), keys.end());
    return keys;
}

// Key and command key of every cell, in key order, bodies in braces:
// "0001 M_ON, 0002 L_IF{0001 G_SOUND, 0101 G_WAIT}".
inline QString shape(const CommandCollection& grid)
{
    QStringList parts;
    for (const QString& key : sortedKeys(grid)) {
        const auto& co = grid.Item(key);
        QString s = key + QLatin1Char(' ') + co->KeyText();
        if (co->Commands)
            s += QLatin1Char('{') + shape(*co->Commands) + QLatin1Char('}');
        parts.append(s);
    }
    return parts.join(QStringLiteral(", "));
}

// Every member of every command that the files carry, bodies nested.
inline QString dump(const CommandCollection& grid)
{
    QStringList parts;
    for (const QString& key : sortedKeys(grid)) {
        const auto& co = grid.Item(key);
        QStringList f{key,
                      co->KeyText(),
                      co->MotorList,
                      QString::number(co->Op),
                      dumpValue(co->Param1Source),
                      dumpValue(co->Param1Value),
                      dumpValue(co->Param2Source),
                      dumpValue(co->Param2Value),
                      co->PicCaption(0),
                      co->PicCaption(1),
                      QString::number(co->PicIndex),
                      dumpValue(co->Speed),
                      QString::number(co->mNumber),
                      dumpValue(co->Time),
                      QString::number(co->x),
                      QString::number(co->y)};
        QString s = f.join(QLatin1Char('|'));
        if (co->Commands)
            s += QLatin1Char('{') + dump(*co->Commands) + QLatin1Char('}');
        parts.append(s);
    }
    return parts.join(QLatin1Char('\n'));
}

// A command at a cell, with the members the tests care about.
inline std::shared_ptr<clsCommand> command(const char* key, int x, int y, const char* caption0 = "")
{
    auto co = std::make_shared<clsCommand>();
    co->SetKeyText(QString::fromUtf8(key));
    co->x = Integer(x);
    co->y = Integer(y);
    co->Op = -1;
    co->Param1Source = -1;
    co->Param1Value = -1;
    co->Param2Source = -1;
    co->Param2Value = -1;
    co->setPicCaption(0, QString::fromUtf8(caption0));
    if (OpensBlock(co->KeyText()))
        co->Commands = std::make_shared<CommandCollection>();
    return co;
}

inline void put(CommandCollection& grid, const std::shared_ptr<clsCommand>& co)
{
    grid.Add(co, ColKey(co->x, co->y));
}

// The recording windows, with the set-up's motor types after each
// SetupChanged() in the log: "MotorTypes(1,0,1)" (ports A, B and C).
class FileWindows : public FakeWindows {
public:
    void Install()
    {
        FakeWindows::Install();
        Notifier* n = App().Notifier.get();
        QObject::disconnect(n, nullptr, &mListener, nullptr);
        QObject::connect(n, &Notifier::SetupChanged, &mListener, [this] {
            const clsRcx& rcx = App().RcxSetup();
            log.append(QStringLiteral("MotorTypes(%1,%2,%3)")
                           .arg(rcx.PortMotor(0).MotorType())
                           .arg(rcx.PortMotor(1).MotorType())
                           .arg(rcx.PortMotor(2).MotorType()));
        });
    }

private:
    QObject mListener;
};

// A fresh state with a program folder in a temporary directory, the project
// "Robot" with its folder, and the recording services.
class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetApp();
        ASSERT_TRUE(tmp.isValid());
        AppState& app = App();
        app.Presenter = &presenter;
        windows.Install();
        app.DataFolder = tmp.path();
        app.SetProjectName(QStringLiteral("Robot"));
        QDir().mkpath(projectFolder());
    }
    void TearDown() override { ResetApp(); }

    QString folder() const { return tmp.path(); }
    QString projectFolder() const { return tmp.path() + QStringLiteral("/Projects/Robot.dir"); }
    QString taskPath(const QString& name) const { return projectFolder() + QLatin1Char('/') + name + QStringLiteral(".tas"); }
    QString subPath(const QString& name) const { return tmp.path() + QStringLiteral("/Subs/") + name + QStringLiteral(".sub"); }
    QString projectPath() const { return projectFolder() + QStringLiteral("/Robot.qmd"); }

    // The messages shown, as "style:text".
    QStringList messages() const
    {
        QStringList m;
        for (const auto& s : presenter.shown)
            m.append(QString::number(s.style) + QLatin1Char(':') + s.text);
        return m;
    }
    QStringList explorer() const
    {
        QStringList m;
        for (const auto& a : windows.addedModules)
            m.append(a.name + QLatin1Char('/') + QString::number(a.type));
        return m;
    }

    QTemporaryDir tmp;
    FakePresenter presenter;
    FileWindows windows;
};

}  // namespace filetest
