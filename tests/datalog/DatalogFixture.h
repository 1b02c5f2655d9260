#pragma once
// A fresh state for the datalog tests: a recording presenter, a scripted
// dialog runner, quiet shell requests, the program's virtual brick (the
// control on port 4, its tower ready), named motors and sensors, and a
// temporary data folder.
#include "../shell/ShellFixture.h"

#include "datalog/core/DatalogUpload.h"
#include "link/PortSelector.h"
#include "link/vbrick/VirtualBrick.h"
#include "model/AppState.h"

#include <QStringList>

// The clock of the brick below, made before the control that reads it.
struct BrickClock {
    qint64 ms = 0;
};

// The virtual brick, writing down every datalog request, and the choice of it
// on port 4 (its tower checks pass there only).
class LoggingBrick : private BrickClock, public vbrick::VirtualBrick, public IPortSelector {
public:
    LoggingBrick() : VirtualBrick([this] { return ms; }) {}

    QList<DatalogRequest> requests;
    QVector<DatalogEntry> GetDatalog(Integer from, Integer count) override
    {
        requests.append({from, count});
        return VirtualBrick::GetDatalog(from, count);
    }

    void setEventSink(IPhantomEvents* sink) override { VirtualBrick::setEventSink(sink); }
    Long ComPortNo() override { return port; }
    void setComPortNo(Long p) override { port = p; }
    bool TowerCheck1() override { return port == PortSelector::VirtualBrickPort && VirtualBrick::TowerCheck1(); }
    bool TowerCheck2() override { return port == PortSelector::VirtualBrickPort && VirtualBrick::TowerCheck2(); }
    bool TowerCheck3() override { return port == PortSelector::VirtualBrickPort && VirtualBrick::TowerCheck3(); }
    IBrickDevice& device() override { return *this; }
    Long port = PortSelector::VirtualBrickPort;

    // Makes room for the entries and logs them as a program would: each
    // source is given the value, then logged (a timer is cleared and left
    // to run up to it).
    void fill(const QVector<DatalogEntry>& entries)
    {
        SetDatalog(Integer(entries.size()));
        for (const DatalogEntry& e : entries) {
            switch (e.source) {
            case 0: brick().setVariable(e.number, e.value); break;
            case 1:
                ClearTimer(e.number);
                ms += 100 * qint64(e.value);
                break;
            case 9: brick().sensor(e.number).value = e.value; break;
            case 14: SetWatch(Integer(e.value / 60), Integer(e.value % 60)); break;
            default: ADD_FAILURE() << "no datalog source " << e.source; break;
            }
            DatalogNext(e.source, e.number);
        }
    }
    void setOn(bool on) { brick().setOn(on); }
    int datalogSize() { return brick().datalogSize(); }
};

// Panels and event runs of an upload.
class ProgressLog : public IDatalogProgress {
public:
    QString panels[4];
    int events = 0;
    QStringList panel3;
    void SetPanel(int panel, const QString& text) override
    {
        panels[panel] = text;
        if (panel == 3)
            panel3.append(text);
    }
    void DoEvents() override { ++events; }
};

class DatalogFixture : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        App().SetRcxInit(True);  // the tower is ready
        App().EditMotor(0, [&](clsMotor& m) { m.Purpose = QStringLiteral("Left"); });
        App().EditMotor(1, [&](clsMotor& m) { m.Purpose = QStringLiteral("Right"); });
        App().EditMotor(2, [&](clsMotor& m) { m.Purpose = QStringLiteral("Arm"); });
        App().EditSensor(0, [&](clsSensor& s) { s.Purpose = QStringLiteral("Touch"); });
        App().EditSensor(1, [&](clsSensor& s) { s.Purpose = QStringLiteral("Light"); });
        App().EditSensor(2, [&](clsSensor& s) { s.Purpose = QStringLiteral("Angle"); });
        App().Ports = &brick;
    }
    void TearDown() override
    {
        App().Ports = nullptr;
        ShellFixture::TearDown();
    }

    // Adds a variable named value in slot number.
    static void addVariable(const QString& name, Integer number)
    {
        auto object = std::make_shared<clsObject>();
        object->Name = name;
        object->Source = 0;
        object->Number = number;
        App().AddObject(object, name);
    }

    LoggingBrick brick;
};
