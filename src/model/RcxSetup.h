#pragma once
// The brick set-up: what is connected to the output ports A, B, C and the
// sensor ports 1, 2, 3, the program slot, the project name and its changed flag.
// The tower check, the start-up task and the sensor check (InitRCX, DownLoad,
// UpdateSensor) belong to the compiler, which talks to the control.
#include "model/Variant.h"

#include <array>
#include <memory>

class clsMotor {
public:
    QString MotorRwdMeening;
    QString MotorFwdMeening;
    Integer PollCheck = 0;
    QString Purpose;
    Long MotorStartState = 1;
    Long MotorDirection = 1;
    Long MotorPort = 0;
    Integer Power = 7;

    Long MotorType() const { return mMotorType; }
    // 0 also empties both meaning texts.
    void setMotorType(Long type)
    {
        mMotorType = type;
        if (type == 0) {
            MotorFwdMeening.clear();
            MotorRwdMeening.clear();
        }
    }

private:
    Long mMotorType = 0;
};

class clsSensor {
public:
    QString Purpose;
    Integer PollCheck = 0;
    Integer Dark = 40;
    Long SensorPort = 0;
    Long SensorMode = 0;

    Long SensorType() const { return mSensorType; }
    // Also sets the type's usual mode: 1 Boolean, 2 Celsius, 3 Percentage, 4 Rotation.
    void setSensorType(Long type)
    {
        mSensorType = type;
        switch (type) {
        case 1: SensorMode = 1; break;
        case 2: SensorMode = 5; break;
        case 3: SensorMode = 4; break;
        case 4: SensorMode = 7; break;
        default: break;
        }
    }

private:
    Long mSensorType = 0;
};

using MotorPtr = std::shared_ptr<clsMotor>;
using SensorPtr = std::shared_ptr<clsSensor>;

class clsRcx {
public:
    clsRcx();

    Boolean Dirty = False;
    QString ProjectName;
    Boolean IsInit = False;
    Integer ProgramNumber = 0;

    // Ports 0..2; another index fails with 9. The open project's set-up is
    // read through the const ones and changed through its document
    // (model/ProjectDocument.h).
    const clsMotor& PortMotor(int index) const;
    const clsSensor& PortSensor(int index) const;
    MotorPtr& PortMotor(int index);
    SensorPtr& PortSensor(int index);
    void setPortMotor(int index, MotorPtr m) { PortMotor(index) = std::move(m); }
    void setPortSensor(int index, SensorPtr s) { PortSensor(index) = std::move(s); }

private:
    std::array<MotorPtr, 3> mMotors;
    std::array<SensorPtr, 3> mSensors;
};
