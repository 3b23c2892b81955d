{ Tarvel Lib: TTarvelBox, the non-visual component that owns a device connection. }
unit tarvelbox;

{$I tarvellib.inc}

interface

uses Classes, tvsysutils, tvsemaphore;

type
  TTarvelBox = class(TComponent)
  private
    FActive: Boolean;
    FPort: Integer;
  published
    property Active: Boolean read FActive write FActive default False;
    property Port: Integer read FPort write FPort default 1;
  end;

implementation

end.
