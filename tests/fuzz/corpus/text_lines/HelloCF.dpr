program HelloCF;

{%DelphiDotNetAssemblyCompiler '$(SystemRoot)\microsoft.net\framework\v1.1.4322\System.dll'}
{%DelphiDotNetAssemblyCompiler '$(SystemRoot)\microsoft.net\framework\v1.1.4322\System.Windows.Forms.dll'}

uses
  System.Reflection,
  System.Runtime.CompilerServices,
  System.Windows.Forms,
  WinForm in 'WinForm.pas' {WinForm.TWinForm: System.Windows.Forms.Form};

{$R *.res}

{$R 'WinForm.TWinForm.resources' 'WinForm.resx'}

[assembly: AssemblyTitle('HelloCF')]
[assembly: AssemblyDescription('A small Compact Framework program')]
[assembly: AssemblyVersion('1.0.*')]

[STAThread]
begin
  Application.Run(TWinForm.Create);
end.
