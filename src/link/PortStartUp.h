#pragma once

class PropertyGridModel;
class ServoLink;

/// The port opening of the main window's load step (the port is closed then):
/// settings text for a BaudRate of "2400" or "9600" (any other text keeps the
/// settings), the port number CommPort, open. Port in use: message, the
/// CommPort Status cell "Offline". Any other failure: ErrorReport "0009", the
/// cell left "Online". Returns whether the rest of the load goes on (false
/// after either failure: no start-up configuration is applied then).
bool OpenPortAtStartUp(ServoLink &link, PropertyGridModel &grid);
