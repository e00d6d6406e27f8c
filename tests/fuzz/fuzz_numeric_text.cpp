// The numeric test and the conversions built on it agree with each other on any text.

#include "FuzzSupport.h"
#include "platform/AppError.h"
#include "platform/NumericText.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = FuzzText(data, size);
    const std::optional<double> value = NumericValue(text);
    FUZZ_CHECK(IsNumericText(text) == value.has_value());
    std::optional<qint32> asLong;
    try {
        asLong = ToLong(text);
    } catch (const AppError &) {
    }
    FUZZ_CHECK(asLong == WholeNumber32(text));
    if (asLong) {
        FUZZ_CHECK(value && std::abs(*value - double(*asLong)) <= 0.5);
        FUZZ_CHECK(double(*asLong) == RoundHalfEven(*value));
    }
    try {
        const qint16 small = ToInteger(text);
        FUZZ_CHECK(asLong == qint32(small));
    } catch (const AppError &) {
        FUZZ_CHECK(!asLong || *asLong < -32768 || *asLong > 32767);
    }
    return 0;
}
