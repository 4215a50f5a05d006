{ Applies an update or maintenance script to a database through the Morvane update server, as a
  Delphi or Lazarus application would: the run's report (JSON) on standard output, progress and
  the failure on standard error.
    apply_script SCRIPT SOURCE TARGET [--dry-run]
  Exit code: 0 done, 3 done with records in problem tables, 1 failed, 2 usage. }
program apply_script;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}
{$APPTYPE CONSOLE}

uses
  {$IFDEF UNIX}cwstring,{$ENDIF} SysUtils, MorvaneUpdateServer;

procedure Progress(User: Pointer; Table: PAnsiChar; Done, Total: Int64); cdecl;
begin
  if Done = Total then
    WriteLn(ErrOutput, MorvaneText(Table), ': ', Done, ' of ', Total, ' records');
end;

var
  Server: PMorvaneUpdateServer;
  Code: Integer;
begin
  if (ParamCount < 3) or (ParamCount > 4) or ((ParamCount = 4) and (ParamStr(4) <> '--dry-run')) then
  begin
    WriteLn(ErrOutput, 'usage: apply_script SCRIPT SOURCE TARGET [--dry-run]');
    Halt(2);
  end;
  Server := morvane_server_create;
  if Server = nil then
    Halt(1);
  morvane_server_set_script_file(Server, PAnsiChar(MorvaneUtf8(ParamStr(1))));
  morvane_server_set_source(Server, PAnsiChar(MorvaneUtf8(ParamStr(2))));
  morvane_server_set_new_path(Server, PAnsiChar(MorvaneUtf8(ParamStr(3))));
  morvane_server_set_dry_run(Server, Ord(ParamCount = 4));
  morvane_server_set_progress(Server, Progress, nil);

  Code := morvane_server_run(Server);
  WriteLn(MorvaneText(morvane_server_report_json(Server)));
  if Code <> 0 then
    WriteLn(ErrOutput, 'apply_script: ', Code, ' ', MorvaneText(morvane_server_message(Server)));
  WriteLn(ErrOutput, 'libmorvane-server ', MorvaneText(morvane_version));
  morvane_server_destroy(Server);
  if Code = 0 then
    Halt(0)
  else if Code = MORVANE_RUN_PROBLEMS then
    Halt(3)
  else
    Halt(1);
end.
