/* Morvane update server, C interface.
 *
 * Applies an update script (.vxusp) or a maintenance script (.vxmsp) to a Paradox database,
 * all or nothing, or previews the run (dry run), as `morvane-cli run` does. Plain C, cdecl; every
 * string in and out is UTF-8 and NUL-terminated. No function throws, aborts or keeps a pointer
 * it was given (the progress callback's user pointer aside): failures come back as result codes
 * with a message.
 *
 * A server handle is used by one thread at a time; separate handles are independent. A null
 * handle is accepted everywhere: setters ignore it, run answers 295, the texts are constant.
 * A null string is taken as an empty one (add_password ignores it).
 */
#ifndef MORVANE_UPDATE_SERVER_H
#define MORVANE_UPDATE_SERVER_H

#if defined(_WIN32)
#  if defined(MORVANE_SERVER_BUILD)
#    define MORVANE_SERVER_API __declspec(dllexport)
#  else
#    define MORVANE_SERVER_API __declspec(dllimport)
#  endif
#  define MORVANE_SERVER_CALL __cdecl
#else
#  define MORVANE_SERVER_API __attribute__((visibility("default")))
#  define MORVANE_SERVER_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct morvane_update_server morvane_update_server;

/* Called during a run, on the calling thread, as records are carried: the target table's name,
 * records done so far and the table's record count (0 when not known yet). It must return
 * normally (no exception, no longjmp) and must not call this server. */
typedef void(MORVANE_SERVER_CALL* morvane_progress_fn)(void* user, const char* table, long long done,
                                                       long long total);

/* The library's version, "major.minor.patch"; a constant string. */
MORVANE_SERVER_API const char* MORVANE_SERVER_CALL morvane_version(void);

/* A new server with nothing set; null when memory is short. Free it with morvane_server_destroy. */
MORVANE_SERVER_API morvane_update_server* MORVANE_SERVER_CALL morvane_server_create(void);
MORVANE_SERVER_API void MORVANE_SERVER_CALL morvane_server_destroy(morvane_update_server* s);

/* The script to apply: a .vxusp (update) or .vxmsp (maintenance) file. */
MORVANE_SERVER_API void MORVANE_SERVER_CALL morvane_server_set_script_file(morvane_update_server* s,
                                                                           const char* path);
/* The database read: an alias name or a directory; empty: the update script's own alias
 * (maintenance: the target). */
MORVANE_SERVER_API void MORVANE_SERVER_CALL morvane_server_set_source(morvane_update_server* s,
                                                                      const char* alias_or_directory);
/* The directory written (made when missing); empty: the script's new alias (maintenance: the
 * source itself). */
MORVANE_SERVER_API void MORVANE_SERVER_CALL morvane_server_set_new_path(morvane_update_server* s,
                                                                        const char* directory);
/* One more password tried on protected tables. */
MORVANE_SERVER_API void MORVANE_SERVER_CALL morvane_server_add_password(morvane_update_server* s,
                                                                        const char* password);
/* Nonzero: read and convert everything, write nothing; the report is the preview of the run. */
MORVANE_SERVER_API void MORVANE_SERVER_CALL morvane_server_set_dry_run(morvane_update_server* s, int dry_run);
/* The progress callback (null: none) and the pointer handed back to it. */
MORVANE_SERVER_API void MORVANE_SERVER_CALL morvane_server_set_progress(morvane_update_server* s,
                                                                        morvane_progress_fn fn, void* user);

/* Runs the script: 0 done; 300 done, with records kept in PROBLEM_ and KEYVIOL_ tables; any
 * other code failed and left the target as it was (293 a table not written, 294 no script file,
 * 295 no server (null handle, or memory short when setting), 296 a table not in the script,
 * 297 no target directory, 298 not a script, 299 an unknown command, 301 a password needed,
 * 302 the source unreadable, 303 the target is the source, 304 no such field, 305 the field
 * exists). */
MORVANE_SERVER_API int MORVANE_SERVER_CALL morvane_server_run(morvane_update_server* s);

/* The last run's report as one JSON object, as `morvane-cli run --json` prints it; "" before
 * the first run. */
MORVANE_SERVER_API const char* MORVANE_SERVER_CALL morvane_server_report_json(const morvane_update_server* s);
/* The last run's result text and its detail (the table, field or file concerned); "" when it
 * answered 0, or before the first run. */
MORVANE_SERVER_API const char* MORVANE_SERVER_CALL morvane_server_message(const morvane_update_server* s);
/* Both texts stay valid until the server's next run or its destruction. */

#ifdef __cplusplus
}
#endif

#endif /* MORVANE_UPDATE_SERVER_H */
