#include "timeline/TimelineExport.h"

#include "app/DataPaths.h"
#include "platform/FileDialogService.h"
#include "platform/MessageService.h"
#include "platform/Services.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace TimelineExport {

namespace {

const QString kPngFilter = QStringLiteral("PNG Images (*.png)|*.png");
const QString kSvgFilter = QStringLiteral("SVG Images (*.svg)|*.svg");

} // namespace

Format FormatOf(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0 ? Format::Svg : Format::Png;
}

QString Write(const TimelineView &view, const QString &path, TimelineView::Extent extent, Format format)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QSize size = view.RenderSize(extent);
    if (format == Format::Png) {
        QImage image(size, QImage::Format_RGB32);
        QPainter painter(&image);
        view.Render(painter, extent);
        painter.end();
        if (!image.save(&file, "PNG"))
            return file.error() != QFileDevice::NoError ? file.errorString()
                                                        : QStringLiteral("the picture could not be encoded");
    } else {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(), size));
        svg.setTitle(QStringLiteral("Timeline"));
        QPainter painter(&svg);
        view.Render(painter, extent);
        painter.end();
        if (file.error() != QFileDevice::NoError)
            return file.errorString();
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

void Ask(const TimelineView &view, TimelineView::Extent extent, std::optional<Format> format)
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = QStringLiteral("Export Timeline");
    request.filter = !format ? kPngFilter + u'|' + kSvgFilter : *format == Format::Png ? kPngFilter : kSvgFilter;
    request.initialFolder = DataPaths::UserDataFolder();
    request.fileName = format == Format::Svg ? QStringLiteral("Timeline.svg") : QStringLiteral("Timeline.png");
    const QString path = Services::fileDialogs().choose(request);
    if (path.isEmpty())
        return;
    // The widest PNG takes a second or so to encode.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const QString error = Write(view, path, extent, format.value_or(FormatOf(path)));
    QGuiApplication::restoreOverrideCursor();
    if (!error.isEmpty())
        ShowUserMessage(
            QStringLiteral("The timeline could not be saved as %1: %2").arg(QDir::toNativeSeparators(path), error),
            MsgButtons::OkCancel, MsgIcon::Critical);
}

} // namespace TimelineExport
