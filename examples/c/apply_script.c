/* Applies an update or maintenance script to a database through libmorvane-server, as an
 * application would: the run's report (JSON) on stdout, progress and the failure on stderr.
 *   apply_script SCRIPT SOURCE TARGET [--dry-run]
 * Exit status: 0 done, 3 done with records in problem tables, 1 failed, 2 usage. */
#include <stdio.h>
#include <string.h>

#include <morvane/update_server.h>

static void MORVANE_SERVER_CALL progress(void* user, const char* table, long long done, long long total)
{
    (void)user;
    if (done == total)
        fprintf(stderr, "%s: %lld of %lld records\n", table, done, total);
}

int main(int argc, char** argv)
{
    if (argc < 4 || argc > 5 || (argc == 5 && strcmp(argv[4], "--dry-run") != 0)) {
        fprintf(stderr, "usage: apply_script SCRIPT SOURCE TARGET [--dry-run]\n");
        return 2;
    }
    morvane_update_server* server = morvane_server_create();
    if (!server)
        return 1;
    morvane_server_set_script_file(server, argv[1]);
    morvane_server_set_source(server, argv[2]);
    morvane_server_set_new_path(server, argv[3]);
    morvane_server_set_dry_run(server, argc == 5);
    morvane_server_set_progress(server, progress, NULL);

    const int code = morvane_server_run(server);
    printf("%s\n", morvane_server_report_json(server));
    if (code != 0)
        fprintf(stderr, "apply_script: %d %s\n", code, morvane_server_message(server));
    fprintf(stderr, "libmorvane-server %s\n", morvane_version());
    morvane_server_destroy(server);
    return code == 0 ? 0 : code == 300 ? 3 : 1;
}
