// What a golden project's download costs on the wire: its operations (the
// .ops file beside the project) through the link to the software brick,
// counted as the serial tower carries them, against what nqc sends for the
// same program in its own language (bench/data/<name>.nqc) and against the
// link's limit: the program code alone, every byte with its complement, at
// 2400 baud and 11 bits a byte.
#include "link/protocol/RcxLink.h"
#include "link/vbrick/InProcessTower.h"
#include "link/vbrick/PtyResponder.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

#include <functional>

namespace {

// Replays one line of an .ops file ("SetPower(\"0\", L2, 5)") on the control.
void replay(IBrickDevice& pb, const QString& line)
{
    const int open = int(line.indexOf(QLatin1Char('(')));
    const QString name = line.left(open);
    QStringList texts;
    QList<int> n;
    for (QString a : line.mid(open + 1, line.size() - open - 2).split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
        if (a.startsWith(QLatin1Char('"'))) {
            texts.append(a.mid(1, a.size() - 2));
            continue;
        }
        if (a.startsWith(QLatin1Char('L')) || a.startsWith(QLatin1Char('&')))
            a.remove(0, 1);
        n.append(a.toInt());
    }
    const QString m = texts.value(0);
    Integer r = Integer(n.value(0));
    using F = std::function<void()>;
    const QMap<QString, F> calls{
        {"SelectPrgm", [&] { pb.SelectPrgm(r); }}, {"BeginOfTask", [&] { pb.BeginOfTask(r); }},
        {"EndOfTask", [&] { pb.EndOfTask(); }}, {"BeginOfSub", [&] { pb.BeginOfSub(r); }},
        {"EndOfSub", [&] { pb.EndOfSub(); }}, {"StartTask", [&] { pb.StartTask(r); }},
        {"StopTask", [&] { pb.StopTask(r); }}, {"StopAllTasks", [&] { pb.StopAllTasks(); }},
        {"GoSub", [&] { pb.GoSub(r); }},
        {"SetSensorType", [&] { pb.SetSensorType(n[0], n[1]); }},
        {"SetSensorMode", [&] { pb.SetSensorMode(n[0], n[1], n[2]); }},
        {"SetPower", [&] { pb.SetPower(m, n[0], n[1]); }}, {"SetFwd", [&] { pb.SetFwd(m); }},
        {"SetRwd", [&] { pb.SetRwd(m); }}, {"On", [&] { pb.On(m); }}, {"Off", [&] { pb.Off(m); }},
        {"Float", [&] { pb.Float(m); }}, {"AlterDir", [&] { pb.AlterDir(m); }},
        {"Wait", [&] { pb.Wait(n[0], n[1]); }},
        {"SetVar", [&] { pb.SetVar(n[0], n[1], n[2]); }}, {"SumVar", [&] { pb.SumVar(n[0], n[1], n[2]); }},
        {"SubVar", [&] { pb.SubVar(n[0], n[1], n[2]); }}, {"MulVar", [&] { pb.MulVar(n[0], n[1], n[2]); }},
        {"DivVar", [&] { pb.DivVar(n[0], n[1], n[2]); }}, {"AndVar", [&] { pb.AndVar(n[0], n[1], n[2]); }},
        {"OrVar", [&] { pb.OrVar(n[0], n[1], n[2]); }}, {"AbsVar", [&] { pb.AbsVar(n[0], n[1], n[2]); }},
        {"SgnVar", [&] { pb.SgnVar(n[0], n[1], n[2]); }},
        {"DatalogNext", [&] { pb.DatalogNext(n[0], n[1]); }}, {"SetDatalog", [&] { pb.SetDatalog(n[0]); }},
        {"ClearTimer", [&] { pb.ClearTimer(n[0]); }}, {"ClearSensorValue", [&] { pb.ClearSensorValue(n[0]); }},
        {"ClearPBMessage", [&] { pb.ClearPBMessage(); }}, {"SendPBMessage", [&] { pb.SendPBMessage(n[0], n[1]); }},
        {"PlaySystemSound", [&] { pb.PlaySystemSound(n[0]); }}, {"PlayTone", [&] { pb.PlayTone(n[0], n[1]); }},
        {"SelectDisplay", [&] { pb.SelectDisplay(n[0], n[1]); }}, {"SetWatch", [&] { pb.SetWatch(n[0], n[1]); }},
        {"PBTurnOff", [&] { pb.PBTurnOff(); }}, {"PBTxPower", [&] { pb.PBTxPower(n[0]); }},
        {"PBPowerDownTime", [&] { pb.PBPowerDownTime(n[0]); }},
        {"Loop", [&] { pb.Loop(n[0], n[1]); }}, {"EndLoop", [&] { pb.EndLoop(); }},
        {"While", [&] { pb.While(n[0], n[1], n[2], n[3], n[4]); }}, {"EndWhile", [&] { pb.EndWhile(); }},
        {"If", [&] { pb.If(n[0], n[1], n[2], n[3], n[4]); }}, {"Else", [&] { pb.Else(); }},
        {"EndIf", [&] { pb.EndIf(); }},
    };
    if (calls.contains(name))
        calls[name]();
}

QString sourceFile(const char* relative) { return QStringLiteral(QM_SOURCE_DIR "/") + QLatin1String(relative); }

// The bytes nqc writes to the tower for a program download; -1 without nqc.
qint64 nqcDownloadBytes(const QString& program)
{
    const QString nqc = QStandardPaths::findExecutable(QStringLiteral("nqc"));
    if (nqc.isEmpty())
        return -1;
    vbrick::PtyResponder responder;
    QProcess p;
    p.start(nqc, {QStringLiteral("-S") + responder.devicePath(), QStringLiteral("-TRCX"), QStringLiteral("-d"), program});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return -1;
    return responder.bytesReceived();
}

void BM_GoldenDownloadOnTheWire(benchmark::State& state, const char* name)
{
    QFile ops(sourceFile("tests/data/compiler/") + QLatin1String(name) + QStringLiteral(".ops"));
    ops.open(QIODevice::ReadOnly);
    const QStringList lines = QString::fromUtf8(ops.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    qint64 wire = 0;
    qint64 code = 0;
    for (auto _ : state) {
        vbrick::SoftRcx brick;
        vbrick::InProcessTower tower(brick);
        RcxLink link(tower);
        link.PBAlive();  // the download asks the brick first
        for (const QString& line : lines)
            replay(link, line);
        link.PlaySystemSound(5);
        wire = tower.bytesSent();
        code = 0;
        for (int t = 0; t < rcx::TaskCount; ++t)
            code += brick.taskCode(brick.slot(), t).size();
        for (int s = 0; s < rcx::SubCount; ++s)
            code += brick.subCode(brick.slot(), s).size();
    }
    const qint64 nqc = nqcDownloadBytes(sourceFile("bench/data/") + QLatin1String(name) + QStringLiteral(".nqc"));
    state.counters["code_bytes"] = double(code);
    state.counters["wire_bytes"] = double(wire);
    state.counters["nqc_wire_bytes"] = double(nqc);
    state.counters["wire_ms"] = double(RcxLink::wireMs(wire));
    state.counters["nqc_wire_ms"] = double(nqc < 0 ? -1 : RcxLink::wireMs(nqc));
    state.counters["limit_ms"] = double(RcxLink::wireMs(2 * code));
}

}  // namespace

BENCHMARK_CAPTURE(BM_GoldenDownloadOnTheWire, nested, "nested")->Iterations(3)->Unit(benchmark::kMillisecond);
// Without a program for nqc beside them: nqc_wire_bytes reads -1.
BENCHMARK_CAPTURE(BM_GoldenDownloadOnTheWire, every_key, "every_key")->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GoldenDownloadOnTheWire, empty, "empty")->Iterations(3)->Unit(benchmark::kMillisecond);
