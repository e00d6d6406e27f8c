#pragma once

class IMessageService;
class IFileDialogService;
class IClock;

/// Where the program finds its message boxes, file dialogs and clock. The
/// entry point (application, player or test) installs them once; none is owned.
namespace Services {
IMessageService &messages();
IFileDialogService &fileDialogs();
IClock &clock();

void setMessages(IMessageService *service);
void setFileDialogs(IFileDialogService *service);
void setClock(IClock *clock);
} // namespace Services
