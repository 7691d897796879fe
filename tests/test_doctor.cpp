#include "cli/Doctor.h"
#include "cli/SystemProbe.h"
#include "cli/VireoCtl.h"
#include "device/sim/SimBackend.h"
#include "session/Session.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <set>

using namespace testsupport;

namespace {
using Answer = Doctor::Answer;
using Status = Doctor::Status;

// A pid no process has: above the largest the kernel hands out.
constexpr qint64 GonePid = 4194305;

// The made-up system every case starts from: a wired mouse that opens, the rule in place, a
// program that answers, a data folder the program wrote, a tray and a notification service.
struct System {
    std::vector<SimBackend::Link> links{SimBackend::Link::Wired};
    bool openDenied = false;
    QString installedRule = QStringLiteral("/etc/udev/rules.d/70-vireo.rules");
    std::optional<bool> atSeat = true;
    std::vector<qint64> programs{4242};
    Answer answer = Answer::Answered;
    bool desktop = true;
    bool tray = true;
    bool notifications = true;
    std::function<void(const QString& folder)> spoil; // changes the healthy data folder
};

struct Case {
    const char* name;
    std::function<void(System&)> change;
    std::set<QString> problems; // names of the checks that find a problem
    // Words the finding or remedy of one of them must hold: what the user is told to do.
    std::pair<QString, QString> says;
};

const Case Cases[] = {
    {"healthy", [](System&) {}, {}, {}},
    {"refused node",
     [](System& s) { s.openDenied = true; },
     {"open sim:wired:command", "open sim:wired:event"},
     {"open sim:wired:command", "udevadm trigger"}},
    {"refused node, no session at a seat",
     [](System& s) {
         s.openDenied = true;
         s.atSeat = false;
     },
     {"open sim:wired:command", "open sim:wired:event", "udev rule"},
     {"udev rule", "log in at the computer"}},
    {"no rule",
     [](System& s) { s.installedRule.clear(); },
     {"udev rule"},
     {"udev rule", "/usr/lib/vireo/70-vireo.rules into /etc/udev/rules.d/"}},
    {"no mouse", [](System& s) { s.links.clear(); }, {"interfaces"}, {"interfaces", "plug in"}},
    {"receiver only", [](System& s) { s.links = {SimBackend::Link::Receiver}; }, {}, {}},
    {"bad files",
     [](System& s) {
         s.spoil = [](const QString& folder) {
             writeBytes(folder + "config/default2.psf", "not a profile\n");
             writeBytes(folder + "config/default1.psf.bad", "kept\n");
             writeBytes(folder + QStringLiteral("config/config.ini.vireo-%1-0.tmp").arg(GonePid), "cut");
         };
     },
     {"data folder", "temporary files"},
     {"data folder", "default2.psf"}},
    {"a save under way is no leftover",
     [](System& s) {
         s.spoil = [](const QString& folder) {
             writeBytes(folder + QStringLiteral("config/config.ini.vireo-%1-0.tmp").arg(::getpid()), "cut");
         };
     },
     {},
     {}},
    {"silent program", [](System& s) { s.answer = Answer::Silent; }, {"vireo"}, {"vireo", "kill 4242"}},
    {"program without its socket",
     [](System& s) { s.answer = Answer::NotRunning; },
     {"vireo"},
     {"vireo", "does not listen"}},
    {"no program at all",
     [](System& s) {
         s.answer = Answer::NotRunning;
         s.programs.clear();
     },
     {},
     {}},
    {"no tray, no notification service",
     [](System& s) {
         s.tray = false;
         s.notifications = false;
     },
     {"tray", "notifications"},
     {"notifications", "tray balloons"}},
    {"no desktop to look at",
     [](System& s) {
         s.desktop = false;
         s.tray = false;
         s.notifications = false;
     },
     {},
     {}},
};

class DoctorTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        ensureCoreApp();
        installShippedLanguage(dataFolder());
        // The program's start writes the factory settings and profiles.
        Session::Options options;
        options.dataFolder = dataFolder();
        options.backend = &idle;
        Session session(options);
        session.store().SaveProfilesAndSettings(0);
        session.link().shutdown();
    }

    std::vector<Doctor::Check> run(const System& s) {
        backend = std::make_unique<SimBackend>(s.links);
        backend->setOpenDenied(s.openDenied);
        if (s.spoil)
            s.spoil(dataFolder());
        Doctor::Environment env;
        env.backend = backend.get();
        env.installedRule = s.installedRule;
        env.shippedRule = QStringLiteral("/usr/lib/vireo/70-vireo.rules");
        env.seatSession = [s] { return s.atSeat; };
        env.programs = [s] { return s.programs; };
        env.askProgram = [s](QString*) { return s.answer; };
        env.socketName = QStringLiteral("/run/user/1000/vireo-socket");
        env.dataFolder = dataFolder();
        env.desktop = s.desktop;
        env.trayHost = [s] { return s.tray; };
        env.notificationService = [s] { return s.notifications; };
        return Doctor::run(env);
    }

    SimBackend idle{{}};
    std::unique_ptr<SimBackend> backend;
};
} // namespace

TEST_F(DoctorTest, EachStateOfTheSystemIsFoundWithItsRemedy) {
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.name);
        QDir(dataFolder()).removeRecursively();
        SetUp();
        System system;
        c.change(system);
        const std::vector<Doctor::Check> checks = run(system);
        std::set<QString> problems;
        for (const Doctor::Check& check : checks) {
            if (check.status == Status::Problem) {
                problems.insert(check.name);
                EXPECT_FALSE(check.remedy.isEmpty()) << check.name.toStdString();
            }
        }
        EXPECT_EQ(problems, c.problems);
        EXPECT_EQ(Doctor::healthy(checks), c.problems.empty());
        if (!c.says.first.isEmpty()) {
            const auto it = std::find_if(checks.begin(), checks.end(),
                                         [&](const Doctor::Check& x) { return x.name == c.says.first; });
            ASSERT_NE(it, checks.end());
            EXPECT_TRUE((it->finding + ' ' + it->remedy).contains(c.says.second))
                << (it->finding + " / " + it->remedy).toStdString();
        }
        // Every check is looked at in every state: one line each, none left out.
        for (const char* name : {"interfaces", "udev rule", "vireo", "data folder", "tray", "notifications"})
            EXPECT_TRUE(std::any_of(checks.begin(), checks.end(), [&](const Doctor::Check& x) {
                return x.name == QLatin1String(name);
            })) << name;
    }
}

TEST_F(DoctorTest, BadFilesAreReportedAndLeftAsTheyAre) {
    System system;
    system.spoil = [](const QString& folder) {
        writeBytes(folder + "config/default2.psf", "not a profile\n");
        writeBytes(folder + "config/default2.psf.bad.2", "kept\n");
    };
    const std::vector<Doctor::Check> checks = run(system);
    EXPECT_EQ(readBytes(path("config/default2.psf")), "not a profile\n");
    EXPECT_FALSE(QFile::exists(path("config/default2.psf.bad")));
    const auto copies = std::find_if(checks.begin(), checks.end(),
                                     [](const Doctor::Check& c) { return c.name == "set-aside copies"; });
    ASSERT_NE(copies, checks.end());
    EXPECT_EQ(copies->status, Status::Note);
    EXPECT_TRUE(copies->finding.endsWith("config/default2.psf.bad.2"));
}

TEST_F(DoctorTest, LinesAndJsonCarryEveryCheck) {
    System system;
    system.answer = Answer::Silent;
    const std::vector<Doctor::Check> checks = run(system);
    const QStringList lines = Doctor::lines(checks);
    ASSERT_EQ(size_t(lines.size()), checks.size());
    for (const QString& line : lines) {
        SCOPED_TRACE(line.toStdString());
        EXPECT_FALSE(line.contains('\n'));
        EXPECT_EQ(line.startsWith("problem vireo: "), line.contains("Remedy: "));
    }
    const QJsonObject json = Doctor::json(checks);
    EXPECT_FALSE(json["healthy"].toBool());
    const QJsonArray list = json["checks"].toArray();
    ASSERT_EQ(size_t(list.size()), checks.size());
    for (const QJsonValue& v : list)
        EXPECT_TRUE(QStringList({"ok", "problem", "note"}).contains(v["status"].toString()));
}

TEST_F(DoctorTest, VireoctlDoctorRunsOnTheVirtualMouseAndExitsOneOnAProblem) {
    // No desktop here, so only the mouse and the folder decide.
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    const auto tool = [](const QStringList& args, QString& output) {
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        VireoCtl ctl(out, err);
        ctl.setProgram(QStringLiteral("vireo-doctor-test-nobody-listens"), 1000);
        const int code = ctl.run(args);
        output = QString::fromLocal8Bit(readAndClose(out));
        readAndClose(err);
        return code;
    };
    QString output;
    const int code = tool({"--virtual", "--data-dir", dataFolder(), "doctor"}, output);
    EXPECT_TRUE(output.contains("ok      open sim:wired:command: can be opened")) << output.toStdString();
    EXPECT_TRUE(output.contains("ok      data folder: ")) << output.toStdString();
    // A vireo of someone's on this machine that does not answer the name the test gave is a problem.
    if (SystemProbe::programs().empty()) {
        EXPECT_EQ(code, VireoCtl::Ok) << output.toStdString();
    }

    qputenv("VIREO_SIM_DENY", "1");
    EXPECT_EQ(tool({"--virtual", "--data-dir", dataFolder(), "doctor", "--json"}, output), VireoCtl::Failed);
    qunsetenv("VIREO_SIM_DENY");
    const QJsonObject json = QJsonDocument::fromJson(output.toUtf8()).object();
    EXPECT_FALSE(json["healthy"].toBool());
    EXPECT_FALSE(json["checks"].toArray().isEmpty());
}

TEST(SystemProbe, ProgramsAreThisUsersProcessesNamedVireo) {
    QTemporaryDir proc;
    const auto process = [&](const char* pid, const QByteArray& comm) {
        QDir(proc.path()).mkpath(pid);
        writeBytes(proc.path() + "/" + pid + "/comm", comm);
    };
    process("17", "vireo\n");
    process("18", "vireoctl\n");
    process("19", "bash\n");
    process("self", "vireo\n");
    EXPECT_EQ(SystemProbe::programs(proc.path()), std::vector<qint64>{17});
}
