#pragma once

/// The Servo Controller's sliders as the link's operations drive them.
/// Setting a value has the slider's own effects (an enabled servo whose value
/// changes sends its frame and records its position).
class IServoSliders
{
public:
    virtual ~IServoSliders() = default;
    virtual void SetSliderRange(int servo, int min, int max) = 0;
    virtual void SetSliderValue(int servo, int value) = 0;
    virtual int SliderValue(int servo) const = 0;
};
