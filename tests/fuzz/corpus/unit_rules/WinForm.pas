unit WinForm;

interface

uses
  System.Drawing, System.Collections, System.ComponentModel,
  System.Windows.Forms, System.Data;

type
  TWinForm = class(System.Windows.Forms.Form)
  {$REGION 'Designer Managed Code'}
  strict private
    Components: System.ComponentModel.Container;
    Grid: System.Windows.Forms.DataGrid;
    Greeting: System.Windows.Forms.Label;
    procedure InitializeComponent;
  {$ENDREGION}
  strict protected
    procedure Dispose(Disposing: Boolean); override;
  public
    constructor Create;
  end;

implementation

{$AUTOBOX ON}

{$REGION 'Windows Form Designer generated code'}
procedure TWinForm.InitializeComponent;
begin
  Self.Grid := System.Windows.Forms.DataGrid.Create;
  Self.Greeting := System.Windows.Forms.Label.Create;
  (System.ComponentModel.ISupportInitialize(Self.Grid)).BeginInit;
  Self.SuspendLayout;
  Self.Grid.Location := System.Drawing.Point.Create(8, 40);
  Self.Grid.Size := System.Drawing.Size.Create(224, 200);
  Self.Greeting.Location := System.Drawing.Point.Create(8, 8);
  Self.Greeting.Size := System.Drawing.Size.Create(224, 24);
  Self.Greeting.Text := 'Hello, Compact Framework';
  Self.ClientSize := System.Drawing.Size.Create(240, 268);
  Self.Controls.Add(Self.Grid);
  Self.Controls.Add(Self.Greeting);
  Self.Text := 'HelloCF';
  (System.ComponentModel.ISupportInitialize(Self.Grid)).EndInit;
  Self.ResumeLayout(False);
end;
{$ENDREGION}

procedure TWinForm.Dispose(Disposing: Boolean);
begin
  if Disposing then
  begin
    if Components <> nil then
      Components.Dispose();
  end;
  inherited Dispose(Disposing);
end;

constructor TWinForm.Create;
begin
  inherited Create;
  InitializeComponent;
end;

end.
