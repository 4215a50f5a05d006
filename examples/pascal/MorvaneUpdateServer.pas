{ Morvane update server for Delphi, Lazarus and Free Pascal applications: the declarations of
  include/morvane/update_server.h (cdecl, UTF-8 strings) and two helpers for native strings.
  Linux: libmorvane-server.so; Windows: morvane-server.dll. A Free Pascal program on Unix lists
  cwstring in its uses, so that the helpers convert more than ASCII. }
unit MorvaneUpdateServer;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

const
{$IFDEF MSWINDOWS}
  MorvaneServerLib = 'morvane-server.dll';
{$ELSE}
  MorvaneServerLib = 'morvane-server';
{$ENDIF}

  { Results of morvane_server_run besides 0; any but 300 left the target as it was. }
  MORVANE_RUN_PROBLEMS = 300;
  MORVANE_RUN_NO_SERVER = 295;

type
  PMorvaneUpdateServer = Pointer;
  TMorvaneProgressFn = procedure(User: Pointer; Table: PAnsiChar; Done, Total: Int64); cdecl;

function morvane_version: PAnsiChar; cdecl; external MorvaneServerLib;
function morvane_server_create: PMorvaneUpdateServer; cdecl; external MorvaneServerLib;
procedure morvane_server_destroy(S: PMorvaneUpdateServer); cdecl; external MorvaneServerLib;
procedure morvane_server_set_script_file(S: PMorvaneUpdateServer; Path: PAnsiChar); cdecl; external MorvaneServerLib;
procedure morvane_server_set_source(S: PMorvaneUpdateServer; AliasOrDirectory: PAnsiChar); cdecl; external MorvaneServerLib;
procedure morvane_server_set_new_path(S: PMorvaneUpdateServer; Directory: PAnsiChar); cdecl; external MorvaneServerLib;
procedure morvane_server_add_password(S: PMorvaneUpdateServer; Password: PAnsiChar); cdecl; external MorvaneServerLib;
procedure morvane_server_set_dry_run(S: PMorvaneUpdateServer; DryRun: Integer); cdecl; external MorvaneServerLib;
procedure morvane_server_set_progress(S: PMorvaneUpdateServer; Fn: TMorvaneProgressFn; User: Pointer); cdecl; external MorvaneServerLib;
function morvane_server_run(S: PMorvaneUpdateServer): Integer; cdecl; external MorvaneServerLib;
function morvane_server_report_json(S: PMorvaneUpdateServer): PAnsiChar; cdecl; external MorvaneServerLib;
function morvane_server_message(S: PMorvaneUpdateServer): PAnsiChar; cdecl; external MorvaneServerLib;

{ A native string as the UTF-8 the library takes; keep the result alive while the call runs. }
function MorvaneUtf8(const S: string): UTF8String;
{ A text the library answered, as a native string (copied: it stays valid after the next run). }
function MorvaneText(P: PAnsiChar): string;

implementation

function MorvaneUtf8(const S: string): UTF8String;
begin
  Result := UTF8Encode(S);
end;

function MorvaneText(P: PAnsiChar): string;
var
  U: UTF8String;
begin
  U := P;
  Result := UTF8ToString(U);
end;

end.
