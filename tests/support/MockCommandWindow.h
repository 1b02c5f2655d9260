#pragma once
// An editor window (ICommandWindow) as a gMock object: tests set what its
// getters answer with ON_CALL and check the calls they care about with
// EXPECT_CALL. Use it as NiceMock<MockCommandWindow> where the other calls
// don't matter.
#include "model/Services.h"

#include <gmock/gmock.h>

class MockCommandWindow : public ICommandWindow {
public:
    MOCK_METHOD(void, ZOrder, (), (override));
    MOCK_METHOD(void, setMyCommandBlock, (CommandOwner * owner), (override));
    MOCK_METHOD(CommandOwner*, MyCommandBlock, (), (const, override));
    MOCK_METHOD(void, Show, (), (override));
    MOCK_METHOD(void, setParentCaption, (const QString& caption), (override));
    MOCK_METHOD(void, setFormType, (Long kind), (override));
    MOCK_METHOD(Long, FormType, (), (const, override));
    MOCK_METHOD(void, setParentTaskName, (const QString& name), (override));
    MOCK_METHOD(QString, ParentTaskName, (), (const, override));
    MOCK_METHOD(void, setTaskLoop, (Integer value), (override));
    MOCK_METHOD(void, setTaskLoopCaption, (const QString& text), (override));
    MOCK_METHOD(void, setStartOnStartup, (Integer value), (override));
    MOCK_METHOD(void, setStartOnStartupVisible, (bool visible), (override));
    MOCK_METHOD(void, setTitleText, (const QString& text), (override));
    MOCK_METHOD(void, setCaption, (const QString& caption), (override));
    MOCK_METHOD(QString, Caption, (), (const, override));
    MOCK_METHOD(QString, CursorPos, (), (const, override));
    MOCK_METHOD(void, setCursorPos, (const QString& key), (override));
    MOCK_METHOD(void, Close, (), (override));
    MOCK_METHOD(QString, ParentTitle, (), (const, override));
    MOCK_METHOD(void, ScrollScr, (), (override));
};
