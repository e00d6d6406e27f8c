#pragma once

#include "platform/FileDialogService.h"
#include "platform/MessageService.h"

class QWidget;

/// Message boxes shown with QMessageBox, owned by the active window.
class WidgetMessageService final : public IMessageService
{
public:
    MsgAnswer show(const MessageRequest &request) override;
};

/// File dialogs shown with QFileDialog.
class WidgetFileDialogService final : public IFileDialogService
{
public:
    QString choose(const FileDialogRequest &request) override;
};
