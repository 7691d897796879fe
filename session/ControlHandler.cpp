#include "session/ControlHandler.h"

#include "base/SaveReport.h"
#include "base/TextFile.h"
#include "features/SensorOptions.h"
#include "session/LinkCommands.h"
#include "session/Session.h"
#include "settings/ProfileFile.h"
#include "settings/ProfileSlots.h"

ControlHandler::ControlHandler(Session& session)
    : ControlHandler(session.link(), session.store(), session.tables()) {}

ControlHandler::Result ControlHandler::readProfile(const QString& file, ProfileRecord& into,
                                                   QString* warning) {
    QStringList lines;
    int ignored = 0;
    const TextFile::ReadStatus status = ProfileFile::readFile(file, lines, &ignored);
    if (status != TextFile::ReadStatus::Read)
        return {ControlRequest::Failed,
                QStringLiteral("cannot read %1: %2.").arg(file, TextFile::describe(status))};
    int failedLine = 0;
    if (!ProfileFile::parse(lines, into, &failedLine))
        return {ControlRequest::Failed,
                QStringLiteral("%1:%2: not a profile file: line %2 does not have the expected form.")
                    .arg(file)
                    .arg(failedLine)};
    if (ignored > 0 && warning)
        *warning = QStringLiteral("%1: %2 line(s) after the profile ignored.").arg(file).arg(ignored);
    return {};
}

ControlHandler::Result ControlHandler::begin(const ControlRequest& request, bool sendNow) {
    deferPass = !sendNow;
    // The links of the profiles need no mouse.
    if (LinkCommands::handles(request)) {
        const LinkCommands::Result r = LinkCommands::run(store, request);
        return {r.code, r.message};
    }
    if (!link.connected() ||
        (!link.hasCommandHandle(DeviceLink::Wired) && !link.hasCommandHandle(DeviceLink::Receiver)))
        return {ControlRequest::NoMouse, QStringLiteral("no mouse is connected.")};
    ProfileRecord& profile = link.currentProfile();
    const auto done = [&](const QString& what) {
        return Result{ControlRequest::Ok, what.arg(profile.GetProfileName())};
    };
    switch (request.command) {
    case ControlRequest::Command::Apply: {
        if (!request.file.isEmpty()) {
            ProfileRecord fromFile;
            QString warning;
            if (Result r = readProfile(request.file, fromFile, &warning); r.code != ControlRequest::Ok)
                return r;
            profile = fromFile;
        }
        link.forgetLastSent();
        link.requestApply(DeviceLink::AllDirty);
        runPass();
        return done(QStringLiteral("Sent profile \"%1\" to the mouse."));
    }
    case ControlRequest::Command::Reset:
        link.factoryReset();
        return done(
            QStringLiteral("The mouse was reset to its factory settings, and so was profile \"%1\"."));
    case ControlRequest::Command::SetDpi:
        return setDpi(request);
    case ControlRequest::Command::SetRate: {
        if (!SensorOptions::setRate(profile, SensorOptions::rateIndexOfHz(request.value)))
            return {ControlRequest::Failed,
                    QStringLiteral("the mouse reports at %1 Hz only.").arg(SensorOptions::rateChoices())};
        link.requestApply(DeviceLink::SettingsDirty);
        runPass();
        return {ControlRequest::Ok, QStringLiteral("Report rate %1 Hz set in profile \"%2\".")
                                        .arg(request.value)
                                        .arg(profile.GetProfileName())};
    }
    case ControlRequest::Command::Profile: {
        ProfileSlots profileSlots(store);
        const std::vector<int> visible = profileSlots.visibleSlots();
        if (request.value < 1 || request.value > int(visible.size()))
            return {ControlRequest::Failed, QStringLiteral("there is no profile %1: the list holds %2.")
                                                .arg(request.value)
                                                .arg(visible.size())};
        if (profileSlots.SelectProfile(visible[size_t(request.value - 1)]) != ProfileSlots::Result::Ok)
            return {ControlRequest::Failed,
                    QStringLiteral("profile %1 cannot be chosen.").arg(request.value)};
        link.setSlotOnMouse(std::nullopt); // the user's choice ends a program's profile
        link.requestApply(DeviceLink::KeysDirty | DeviceLink::SettingsDirty);
        runPass();
        return Result{ControlRequest::Ok, QStringLiteral("Profile %1, \"%2\", is the current profile.")
                                              .arg(request.value)
                                              .arg(link.currentProfile().GetProfileName())};
    }
    case ControlRequest::Command::AutoList:
    case ControlRequest::Command::AutoAdd:
    case ControlRequest::Command::AutoRemove:
        break; // carried out above
    }
    return {ControlRequest::Failed, QStringLiteral("unknown request.")};
}

ControlHandler::Result ControlHandler::setDpi(const ControlRequest& request) {
    if (tables.count() == 0)
        return {ControlRequest::Failed,
                QStringLiteral("the sensor of the mouse is not known; its DPI steps are not either.")};
    int below = -1, above = -1;
    for (int i = 0; i < tables.count(); ++i) {
        const int dpi = tables.resolution(i);
        if (dpi == request.value) {
            ProfileRecord& profile = link.currentProfile();
            profile.XYSetting[size_t(request.level - 1)] = uint16_t(i);
            link.requestApply(DeviceLink::SettingsDirty);
            runPass();
            return {ControlRequest::Ok, QStringLiteral("DPI level %1 set to %2 DPI in profile \"%3\".")
                                            .arg(request.level)
                                            .arg(dpi)
                                            .arg(profile.GetProfileName())};
        }
        if (dpi < request.value && (below < 0 || dpi > below))
            below = dpi;
        if (dpi > request.value && (above < 0 || dpi < above))
            above = dpi;
    }
    QString nearest;
    if (below >= 0 && above >= 0)
        nearest = QStringLiteral("; the nearest are %1 and %2").arg(below).arg(above);
    else if (below >= 0 || above >= 0)
        nearest = QStringLiteral("; the nearest is %1").arg(std::max(below, above));
    return {ControlRequest::Failed, QStringLiteral("%1 DPI is not a step of this sensor (%2 to %3 DPI%4).")
                                        .arg(request.value)
                                        .arg(tables.resolution(0))
                                        .arg(tables.resolution(tables.count() - 1))
                                        .arg(nearest)};
}

void ControlHandler::runPass() {
    if (!deferPass)
        link.applyNow();
}

void ControlHandler::send() {
    deferPass = false;
    runPass();
}

ControlHandler::Result ControlHandler::kept(SaveReport& report) {
    report.close();
    report.wait();
    const QString failed = report.text();
    if (failed.isEmpty())
        return {};
    return {ControlRequest::Failed,
            QStringLiteral("the mouse has the change, but it is not on disk: %1.").arg(failed)};
}

bool ControlHandler::settled() {
    if (link.timerActive(DeviceLink::ApplyTimer))
        runPass();
    return !link.timerActive(DeviceLink::ApplyTimer) && link.frameWriter().idle();
}

ControlHandler::Result ControlHandler::finish(const Result& begun) const {
    if (begun.code != ControlRequest::Ok)
        return begun;
    if (const int lost = link.lostFrames())
        return {ControlRequest::MouseGone,
                QStringLiteral(
                    "the mouse went away: %1 frame(s) did not arrive; they are sent again when it is back.")
                    .arg(lost)};
    return begun;
}
