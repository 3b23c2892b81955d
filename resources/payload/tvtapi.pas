{ Tarvel Lib: the telephony interface, as the TAPI components use it. }
unit tvtapi;

{$I tarvellib.inc}

interface

uses Windows, tvsysutils;

type
  HLINEAPP = Cardinal;
  HLINE = Cardinal;

const
  LINEERR_OK = 0;

function TvLineSucceeded(Code: Longint): Boolean;

implementation

function TvLineSucceeded(Code: Longint): Boolean;
begin
  Result := Code = LINEERR_OK;
end;

end.
