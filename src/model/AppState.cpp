#include "model/AppState.h"

#include "model/Config.h"
#include "model/Notifier.h"
#include "model/Phantom.h"
#include <QHash>

#include <memory>
#include <vector>

namespace {

class QuietPresenter : public IMessagePresenter {
public:
    int MsgBox(const QString&, int style, const QString&) override
    {
        switch (style & 7) {
        case MsgStyle::YesNoCancel:
        case MsgStyle::YesNo: return MsgResult::Yes;
        case MsgStyle::RetryCancel: return MsgResult::Retry;
        default: return MsgResult::OK;
        }
    }
    QString InputBox(const QString&, const QString&, const QString& def) override { return def; }
};

class MemorySettings : public ISettingsStore {
public:
    QString GetSetting(const QString& section, const QString& key, const QString& def) override
    {
        return mValues.value(section + QLatin1Char('/') + key, def);
    }
    void SaveSetting(const QString& section, const QString& key, const QString& value) override
    {
        mValues.insert(section + QLatin1Char('/') + key, value);
    }

private:
    QHash<QString, QString> mValues;
};

class NoJoystick : public IJoystick {
public:
    JoystickCaps GetDevCaps() override { return {}; }
};

QuietPresenter gQuietPresenter;
MemorySettings gMemorySettings;
NoJoystick gNoJoystick;
IShellRequests gNoShell;

std::unique_ptr<AppState> gApp;

std::vector<std::function<void()>>& resets()
{
    static std::vector<std::function<void()>> list;
    return list;
}

}  // namespace

AppState::AppState()
    : Presenter(&gQuietPresenter),
      Settings(&gMemorySettings),
      Config(std::make_unique<::Config>(Settings)),
      Joystick(&gNoJoystick),
      Shell(&gNoShell)
{
}

AppState::~AppState() = default;

AppState& App()
{
    if (!gApp)
        gApp = std::make_unique<AppState>();
    return *gApp;
}

void ResetApp()
{
    // The fresh state takes the old one's place, so that what was handed the
    // AppState keeps a valid reference.
    if (gApp) {
        std::destroy_at(gApp.get());
        std::construct_at(gApp.get());
    }
    gMemorySettings = MemorySettings();
    for (const auto& reset : resets())
        reset();
}

void AtResetApp(std::function<void()> reset)
{
    resets().push_back(std::move(reset));
}

IPortSelector& Ports(const AppState& app)
{
    IPortSelector* ports = app.Ports;
    if (!ports)
        raiseError(Err::ObjectNotSet);
    return *ports;
}

IPortSelector& Ports()
{
    return Ports(App());
}

IBrickDevice& PB(const AppState& app)
{
    return Ports(app).device();
}

IBrickDevice& PB()
{
    return PB(App());
}
