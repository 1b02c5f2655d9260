#pragma once
// A fresh state for the datalog tests: a recording presenter, a scripted
// dialog runner, quiet window services, a virtual brick whose tower is ready,
// named motors and sensors, and a temporary data folder.
#include "../shell/ShellFixture.h"

#include "datalog/DatalogUpload.h"
#include "link/VirtualBrick.h"
#include "model/AppState.h"

#include <QStringList>

// A virtual brick that writes down every datalog request.
class LoggingBrick : public VirtualBrick {
public:
    QList<DatalogRequest> requests;
    QVector<DatalogEntry> GetDatalog(Integer from, Integer count) override
    {
        requests.append({from, count});
        return VirtualBrick::GetDatalog(from, count);
    }
    // Makes room for the entries and logs them as a program would.
    void fill(const QVector<DatalogEntry>& entries)
    {
        SetDatalog(Integer(entries.size()));
        for (const DatalogEntry& e : entries)
            addDatalogEntry(e.source, e.number, e.value);
    }
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
        App().RcxSetup = std::make_unique<clsRcx>();
        App().RcxSetup->IsInit = True;  // the tower is ready
        App().RcxSetup->PortMotor(0)->Purpose = QStringLiteral("Left");
        App().RcxSetup->PortMotor(1)->Purpose = QStringLiteral("Right");
        App().RcxSetup->PortMotor(2)->Purpose = QStringLiteral("Arm");
        App().RcxSetup->PortSensor(0)->Purpose = QStringLiteral("Touch");
        App().RcxSetup->PortSensor(1)->Purpose = QStringLiteral("Light");
        App().RcxSetup->PortSensor(2)->Purpose = QStringLiteral("Angle");
        App().PB = &brick;
    }
    void TearDown() override
    {
        App().PB = nullptr;
        ShellFixture::TearDown();
    }

    // Adds a variable named value in slot number.
    static void addVariable(const QString& name, Integer number)
    {
        auto object = std::make_shared<clsObject>();
        object->Name = name;
        object->Source = 0;
        object->Number = number;
        App().ObjectList.Add(object, name);
    }

    LoggingBrick brick;
};
