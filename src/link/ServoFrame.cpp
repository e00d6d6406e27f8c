#include "link/ServoFrame.h"

#include "platform/AppError.h"
#include "platform/NumericText.h"

ServoFrame BuildServoFrame(const QString &synchByte, int servo, int position)
{
    const std::optional<double> value = NumericValue(synchByte);
    if (!value)
        throw AppError::typeMismatch();
    const double sync = RoundHalfEven(*value);
    if (sync < 0 || sync > 255 || servo < 0 || servo > 15 || position < 0 || position > 255)
        throw AppError::invalidArgument();
    return ServoFrame{quint8(sync), quint8(servo), quint8(position)};
}
