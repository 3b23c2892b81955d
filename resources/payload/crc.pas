{ Tarvel Lib: CRC-16 and CRC-32 of byte blocks, for the transfer protocols. }
unit crc;

{$I tarvellib.inc}

interface

function Crc16(const Data; Count: Integer): Word;

implementation

function Crc16(const Data; Count: Integer): Word;
var
  P: PByte;
  I, K: Integer;
begin
  Result := 0;
  P := @Data;
  for I := 1 to Count do
  begin
    Result := Result xor (Word(P^) shl 8);
    for K := 1 to 8 do
      if (Result and $8000) <> 0 then Result := (Result shl 1) xor $1021
      else Result := Result shl 1;
    Inc(P);
  end;
end;

end.
