#include "platform/vcl/forms/timer.h"

#include <QTimer>

#include "platform/vcl/forms/dispatch.h"
#include "platform/vcl/qt/qapp.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner)
{
    EnsureQApplication();
    FTimer = std::make_unique<QTimer>();
    QObject::connect(FTimer.get(), &QTimer::timeout, [this] { Guarded(this, [this] { Timer(); }); });
    Update();
}

TTimer::~TTimer() { FTimer->stop(); }

void TTimer::SetEnabled(bool Value)
{
    FEnabled = Value;
    Update();
}

void TTimer::SetInterval(unsigned Value)
{
    FInterval = Value;
    Update();
}

void TTimer::Update()
{
    FTimer->stop();
    if (FEnabled && FInterval > 0)
        FTimer->start(static_cast<int>(FInterval));
}

void TTimer::Timer()
{
    if (OnTimer)
        OnTimer(this);
}
