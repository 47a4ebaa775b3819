object MainForm1: TMainForm1
  Left = 164
  Top = 9
  BorderStyle = bsToolWindow
  Caption = 'タルネモ！'
  ClientHeight = 600
  ClientWidth = 600
  Color = clWhite
  Font.Charset = SHIFTJIS_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = 'ＭＳ Ｐゴシック'
  Font.Style = []
  FormStyle = fsStayOnTop
  HorzScrollBar.Visible = False
  VertScrollBar.Visible = False
  OldCreateOrder = False
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 12
  object ClearPanel1: TClearPanel
    Left = 0
    Top = 0
    Width = 600
    Height = 600
    ParentFont = True
    Align = alClient
    AutoSize = False
    CaptionLeft = 0
    CaptionTop = 0
    ChildGraphicsTrans = True
    FormTrans = False
    HotTrack = False
    HotLightDepth = 0
    ParentDrag = False
    ShowHint = False
    ParentShowHint = False
    object Image3: TImage
      Left = 0
      Top = 0
      Width = 600
      Height = 600
      Align = alClient
      Picture.Data = 'bell.bmp'
      Stretch = True
    end
    object Image2: TImage
      Left = 0
      Top = 0
      Width = 600
      Height = 600
      Align = alClient
    end
    object Button1: TButton
      Left = 264
      Top = 290
      Width = 74
      Height = 20
      Anchors = []
      Caption = '保存'
      TabOrder = 0
      Visible = False
      OnClick = Button1Click
    end
  end
  object Panel1: TPanel
    Left = 512
    Top = 0
    Width = 600
    Height = 600
    Caption = ''
    Color = clWhite
    TabOrder = 1
    Visible = False
    object Image1: TImage
      Left = 0
      Top = 0
      Width = 600
      Height = 600
      AutoSize = True
      Stretch = True
    end
  end
  object Timer1: TTimer
    Interval = 20
    OnTimer = Timer1Timer
  end
end
