#include "Utility/UserFolders.h"
#include "Utility/Version.h"
#include "cli/Commands.h"
#include "cli/ProgramBeside.h"

#include <clocale>
#include <cstdio>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    pmUserFolders();
    pmSetInvocation(argc, argv);

    CLI::App app{"cartena: the command line of Cartena Manager, a manager and player for dash-camera recordings"};
    app.name("cartena");
    app.set_version_flag("--version", std::string("cartena ") + pmGetVersionInfo());
    app.require_subcommand(0, 1);
    int exitCode = 0;
    addAllCommands(app, exitCode);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "cartena: %s (see cartena --help)\n", e.what());
        return 2;
    }
    if (app.get_subcommands().empty()) {
        std::fputs(app.help().c_str(), stdout);
        return 0;
    }
    return exitCode;
}
