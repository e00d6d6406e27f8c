#pragma once

class IServoSliders;
struct ProgramProperties;
class ServoLink;

/// The main window's three "all servos" buttons. For each servo 0..15 in turn:
/// with the port open, the frame to the target (halves to even); then the
/// slider to the target's whole-number part. Offline only the sliders move.
/// A failure ends the loop with the button's ErrorReport ("0002" Center,
/// "0005" Min, "0004" Max); servos not yet handled stay as they were.
void CenterAllServos(ServoLink &link, const ProgramProperties &properties, IServoSliders &sliders);
void MinAllServos(ServoLink &link, const ProgramProperties &properties, IServoSliders &sliders);
void MaxAllServos(ServoLink &link, const ProgramProperties &properties, IServoSliders &sliders);
