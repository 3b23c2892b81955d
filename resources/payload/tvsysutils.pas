{ Tarvel Lib: system helpers shared by every component of the library. }
unit tvsysutils;

{$I tarvellib.inc}

interface

uses Windows, SysUtils;

function TvTickCount: Cardinal;
function TvHexByte(Value: Byte): string;

implementation

function TvTickCount: Cardinal;
begin
  Result := GetTickCount;
end;

function TvHexByte(Value: Byte): string;
begin
  Result := IntToHex(Value, 2);
end;

end.
