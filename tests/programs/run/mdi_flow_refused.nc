(Jen povely MDI)
