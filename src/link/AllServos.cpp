#include "link/AllServos.h"

#include "app/ProgramProperties.h"
#include "app/ServoModel.h"
#include "link/IServoSliders.h"
#include "link/ServoLink.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/NumericText.h"

#include <cmath>

namespace {

double numberOf(const QString &text)
{
    const std::optional<double> value = NumericValue(text);
    if (!value)
        throw AppError::typeMismatch();
    return *value;
}

// A frame position outside 0..255 builds no frame; keep huge values out of int.
int framePosition(double value)
{
    const double whole = RoundHalfEven(value);
    return (whole < -1 || whole > 256) ? -1 : int(whole);
}

int sliderValue(double value)
{
    const double whole = std::floor(value);
    if (whole < -32768 || whole > 32767)
        throw AppError::overflow();
    return int(whole);
}

void allServos(const QString &routine, const QString ProgramProperties::*target, ServoLink &link,
               const ProgramProperties &properties, IServoSliders &sliders)
{
    Reported(routine, [&] {
        for (int servo = 0; servo < kServoCount; ++servo) {
            const double value = numberOf(properties.*target);
            if (link.PortOpen())
                link.SendServoFrame(servo, framePosition(value));
            sliders.SetSliderValue(servo, sliderValue(value));
        }
    });
}

} // namespace

void CenterAllServos(ServoLink &link, const ProgramProperties &properties, IServoSliders &sliders)
{
    allServos(QStringLiteral("0002"), &ProgramProperties::ServoCenter, link, properties, sliders);
}

void MinAllServos(ServoLink &link, const ProgramProperties &properties, IServoSliders &sliders)
{
    allServos(QStringLiteral("0005"), &ProgramProperties::ServoMin, link, properties, sliders);
}

void MaxAllServos(ServoLink &link, const ProgramProperties &properties, IServoSliders &sliders)
{
    allServos(QStringLiteral("0004"), &ProgramProperties::ServoMax, link, properties, sliders);
}
