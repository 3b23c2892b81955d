{ Tarvel Lib: a counting semaphore around the Windows object. }
unit tvsemaphore;

{$I tarvellib.inc}

interface

uses Windows;

type
  TTvSemaphore = class
  private
    FHandle: THandle;
  public
    constructor Create(Initial, Maximum: Integer);
    destructor Destroy; override;
    function Acquire(Timeout: Cardinal): Boolean;
    procedure Release;
  end;

implementation

constructor TTvSemaphore.Create(Initial, Maximum: Integer);
begin
  FHandle := CreateSemaphore(nil, Initial, Maximum, nil);
end;

destructor TTvSemaphore.Destroy;
begin
  CloseHandle(FHandle);
  inherited;
end;

function TTvSemaphore.Acquire(Timeout: Cardinal): Boolean;
begin
  Result := WaitForSingleObject(FHandle, Timeout) = WAIT_OBJECT_0;
end;

procedure TTvSemaphore.Release;
begin
  ReleaseSemaphore(FHandle, 1, nil);
end;

end.
