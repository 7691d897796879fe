// Tells Vireo which window has the focus (GNOME Shell 45 and later). Vireo runs only while the user
// wants it; a call while it does not run goes nowhere.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

const SERVICE = 'io.github.vireo.Vireo';
const PATH = '/io/github/vireo/Vireo';

export default class VireoFocusExtension extends Extension {
    enable() {
        this._window = null;
        this._titleHandler = 0;
        this._focusHandler = global.display.connect('notify::focus-window', () => this._focusMoved());
        this._focusMoved();
    }

    disable() {
        global.display.disconnect(this._focusHandler);
        this._follow(null);
    }

    _follow(window) {
        if (this._window && this._titleHandler)
            this._window.disconnect(this._titleHandler);
        this._window = window;
        this._titleHandler = window ? window.connect('notify::title', () => this._report(window)) : 0;
    }

    _focusMoved() {
        const window = global.display.focus_window;
        this._follow(window);
        this._report(window);
    }

    _report(window) {
        let appId = '', title = '', pid = 0;
        // The desktop, panels and no window at all: nothing to follow.
        const type = window ? window.get_window_type() : Meta.WindowType.DESKTOP;
        if (type !== Meta.WindowType.DESKTOP && type !== Meta.WindowType.DOCK) {
            appId = window.get_wm_class() ?? window.get_gtk_application_id() ?? '';
            title = window.get_title() ?? '';
            pid = Math.max(window.get_pid(), 0);
        }
        Gio.DBus.session.call(SERVICE, PATH, SERVICE, 'FocusChanged',
            new GLib.Variant('(ssu)', [appId, title, pid]), null,
            Gio.DBusCallFlags.NO_AUTO_START, 1000, null,
            (connection, result) => {
                try {
                    connection.call_finish(result);
                } catch (e) {
                    // Vireo is not running: nothing to tell.
                }
            });
    }
}
