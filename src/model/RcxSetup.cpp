#include "model/RcxSetup.h"

#include "model/VbError.h"

clsRcx::clsRcx()
{
    for (int i = 0; i < 3; ++i) {
        mSensors[i] = std::make_shared<clsSensor>();
        mSensors[i]->setSensorType(0);
        mSensors[i]->SensorPort = i;
        mMotors[i] = std::make_shared<clsMotor>();
        mMotors[i]->setMotorType(0);
        mMotors[i]->MotorPort = i;
    }
}

MotorPtr& clsRcx::PortMotor(int index)
{
    if (index < 0 || index > 2)
        raiseError(Err::SubscriptOutOfRange);
    return mMotors[index];
}

SensorPtr& clsRcx::PortSensor(int index)
{
    if (index < 0 || index > 2)
        raiseError(Err::SubscriptOutOfRange);
    return mSensors[index];
}

const clsMotor& clsRcx::PortMotor(int index) const
{
    return *const_cast<clsRcx*>(this)->PortMotor(index);
}

const clsSensor& clsRcx::PortSensor(int index) const
{
    return *const_cast<clsRcx*>(this)->PortSensor(index);
}
