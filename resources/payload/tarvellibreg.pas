{ Tarvel Lib: registers the library's components on the IDE's palette. }
unit tarvellibreg;

{$I tarvellib.inc}

interface

procedure Register;

implementation

uses Classes, tarvelbox;

procedure Register;
begin
  RegisterComponents('Tarvel Lib', [TTarvelBox]);
end;

end.
