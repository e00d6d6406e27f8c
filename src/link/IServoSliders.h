#pragma once

/// The Servo Controller's sliders as the link's operations and the
/// configuration loader drive them. Setting a value has the effects of the
/// user moving the slider: when the value changes, an enabled servo sends its
/// frame, and the servo model, which the slider shows, takes the position.
class IServoSliders
{
public:
    virtual ~IServoSliders() = default;
    virtual void SetSliderRange(int servo, int min, int max) = 0;
    virtual void SetSliderValue(int servo, int value) = 0;
};
